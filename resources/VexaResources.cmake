# The resource bundle VEXA.bundle and the pictures built into vexa_theme.
# Included from SDK/theme/CMakeLists.txt, so that the generated source belongs
# to the directory of the target that compiles it.
#
# tools/resgen draws the pictures with cairo at build time: the bundle's PNG
# files go into the bundle in the build tree, the built-in ones into a
# generated source as Base64 text. The bundle is installed beside the SDK
# (<datadir>/vexa/VEXA.bundle); the SDK looks for it in VEXA_BUNDLE_DIR, else
# in the directory recorded in vexa_bundle_location (see below).

set(vexa_bundle_source ${PROJECT_SOURCE_DIR}/resources/VEXA.bundle)
set(vexa_bundle_build ${PROJECT_BINARY_DIR}/resources/VEXA.bundle)
set(vexa_builtin_images ${CMAKE_CURRENT_BINARY_DIR}/QLBuiltinImages.cpp)

add_executable(vexa_resgen
  ${PROJECT_SOURCE_DIR}/tools/resgen/main.cpp
  ${PROJECT_SOURCE_DIR}/tools/resgen/Pictures.cpp
  ${PROJECT_SOURCE_DIR}/tools/resgen/GifWriter.cpp)
target_link_libraries(vexa_resgen PRIVATE PkgConfig::vexa_cairo PkgConfig::vexa_gif OpenSSL::Crypto vexa_warnings)

set(vexa_bundle_pictures)
foreach(name back setting backspace)
  list(APPEND vexa_bundle_pictures ${vexa_bundle_build}/${name}@2x.png ${vexa_bundle_build}/${name}@3x.png)
endforeach()

add_custom_command(
  OUTPUT ${vexa_builtin_images} ${vexa_bundle_pictures} ${vexa_bundle_build}/VXEmotion.strings
  # cairo keeps some static data to the end of the process; that is no leak of ours.
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:vexa_resgen> ${vexa_bundle_build} ${vexa_builtin_images}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${vexa_bundle_source}/VXEmotion.strings
          ${vexa_bundle_build}/VXEmotion.strings
  DEPENDS vexa_resgen ${vexa_bundle_source}/VXEmotion.strings
  COMMENT "Drawing the SDK's pictures"
  VERBATIM)

target_sources(vexa_theme PRIVATE ${vexa_builtin_images})
install(DIRECTORY ${vexa_bundle_build} DESTINATION ${CMAKE_INSTALL_DATADIR}/vexa)

# Where the bundle lies, as one string in a library of its own: the build
# tree's bundle here. The prefix of an installation is known only when
# `cmake --install` runs, so the install step makes the installed copy of
# that library again with the installed bundle's directory: an SDK installed
# anywhere finds its bundle, and no installed library names the build tree.
set(vexa_location_source ${CMAKE_CURRENT_BINARY_DIR}/VexaBundleLocation.c)
include(${PROJECT_SOURCE_DIR}/cmake/VexaBundleLocation.cmake)
vexa_write_bundle_location(${vexa_location_source} ${vexa_bundle_build})
add_library(vexa_bundle_location STATIC ${vexa_location_source})
set_target_properties(vexa_bundle_location PROPERTIES EXPORT_NAME bundle_location)
target_link_libraries(vexa_theme PRIVATE vexa_bundle_location)
install(TARGETS vexa_bundle_location EXPORT vexaTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
set_property(GLOBAL APPEND PROPERTY VEXA_SUBSYSTEMS vexa_bundle_location)
install(CODE "
  set(VEXA_C_COMPILER \"${CMAKE_C_COMPILER}\")
  set(VEXA_AR \"${CMAKE_AR}\")
  set(VEXA_RANLIB \"${CMAKE_RANLIB}\")
  set(VEXA_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
  set(VEXA_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
  set(VEXA_ARCHIVE \"$<TARGET_FILE_NAME:vexa_bundle_location>\")
  set(VEXA_WORK_DIR \"${CMAKE_CURRENT_BINARY_DIR}/installed-bundle-location\")
  include(\"${PROJECT_SOURCE_DIR}/cmake/VexaBundleLocation.cmake\")
  vexa_install_bundle_location()")
