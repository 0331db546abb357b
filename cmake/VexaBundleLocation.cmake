# The library vexa_bundle_location: one C string, the directory of the
# resource bundle, made at build time for the build tree and again at
# install time for the installed prefix (see resources/VexaResources.cmake).

include_guard(GLOBAL)

# Writes the C source defining vexa_bundle_directory as `directory`.
function(vexa_write_bundle_location source directory)
  string(REPLACE "\\" "\\\\" text "${directory}")
  string(REPLACE "\"" "\\\"" text "${text}")
  # Rewritten only when it changes, so a new configure does not relink.
  file(WRITE ${source}.new
       "/* Generated; the directory of the SDK's resource bundle. */\nconst char vexa_bundle_directory[] = \"${text}\";\n")
  file(COPY_FILE ${source}.new ${source} ONLY_IF_DIFFERENT)
  file(REMOVE ${source}.new)
endfunction()

# Runs in the install step: replaces the installed archive by one naming
# <prefix>/<datadir>/vexa/VEXA.bundle. Needs VEXA_C_COMPILER, VEXA_AR,
# VEXA_RANLIB, VEXA_LIBDIR, VEXA_DATADIR, VEXA_ARCHIVE and VEXA_WORK_DIR.
function(vexa_install_bundle_location)
  foreach(kind LIBDIR DATADIR)
    if(IS_ABSOLUTE "${VEXA_${kind}}")
      set(${kind} "${VEXA_${kind}}")
    else()
      set(${kind} "${CMAKE_INSTALL_PREFIX}/${VEXA_${kind}}")
    endif()
  endforeach()
  file(MAKE_DIRECTORY "${VEXA_WORK_DIR}")
  vexa_write_bundle_location("${VEXA_WORK_DIR}/VexaBundleLocation.c" "${DATADIR}/vexa/VEXA.bundle")
  execute_process(COMMAND "${VEXA_C_COMPILER}" -fPIC -c VexaBundleLocation.c -o VexaBundleLocation.o
                  WORKING_DIRECTORY "${VEXA_WORK_DIR}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "vexa: cannot compile the installed bundle location")
  endif()
  set(archive "$ENV{DESTDIR}${LIBDIR}/${VEXA_ARCHIVE}")
  file(REMOVE "${archive}")
  execute_process(COMMAND "${VEXA_AR}" qc "${archive}" VexaBundleLocation.o
                  COMMAND_ERROR_IS_FATAL ANY WORKING_DIRECTORY "${VEXA_WORK_DIR}")
  execute_process(COMMAND "${VEXA_RANLIB}" "${archive}" COMMAND_ERROR_IS_FATAL ANY)
  message(STATUS "Recorded the bundle directory ${DATADIR}/vexa/VEXA.bundle in ${archive}")
endfunction()
