# find_package(vexa) and pkg-config support for hosts linking the installed SDK.
include(CMakePackageConfigHelpers)

install(EXPORT vexaTargets NAMESPACE vexa::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vexa)

get_property(VEXA_SUBSYSTEM_TARGETS GLOBAL PROPERTY VEXA_SUBSYSTEMS)
set(VEXA_PC_LIBS "")
# Linkers read static archives in order: dependents come before what they use.
list(REVERSE VEXA_SUBSYSTEM_TARGETS)
foreach(t IN LISTS VEXA_SUBSYSTEM_TARGETS)
  string(APPEND VEXA_PC_LIBS " -l${t}")
endforeach()

# The archives' own system libraries, given as linker flags: a host compiles
# with the include paths of cairo only (the one library the installed headers
# include), and a Requires line would bring every library's.
list(APPEND VEXA_DEPENDENCY_LDFLAGS -lssl -lcrypto -lz -pthread)
list(REMOVE_DUPLICATES VEXA_DEPENDENCY_LDFLAGS)
list(JOIN VEXA_DEPENDENCY_LDFLAGS " " VEXA_PC_DEPENDENCY_LIBS)

set(VEXA_EXPORTED_ALL "")
foreach(t IN LISTS VEXA_SUBSYSTEM_TARGETS)
  string(REPLACE "vexa_" "vexa::" exported ${t})
  list(APPEND VEXA_EXPORTED_ALL ${exported})
endforeach()

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vexaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vexaConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vexa)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vexaConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
configure_file(${PROJECT_SOURCE_DIR}/cmake/vexa.pc.in ${PROJECT_BINARY_DIR}/vexa.pc @ONLY)

install(FILES ${PROJECT_BINARY_DIR}/vexaConfig.cmake
              ${PROJECT_BINARY_DIR}/vexaConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/VexaLibraryDependencies.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vexa)
install(FILES ${PROJECT_BINARY_DIR}/vexa.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
