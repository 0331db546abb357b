# Warnings and sanitizers shared by every target of the project.

# Build-tree only: the SDK's targets link it as $<BUILD_INTERFACE:...>, so it
# is never exported and a host's flags stay its own.
add_library(vexa_warnings INTERFACE)
target_compile_options(vexa_warnings INTERFACE -Wall -Wextra
                       $<$<BOOL:${VEXA_WARNINGS_AS_ERRORS}>:-Werror>)

if(VEXA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Fuzz targets see coverage of the SDK's code only when it is instrumented too.
if(VEXA_BUILD_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# SDK headers are included as "vexa/<path under SDK>", in the tree as once
# installed: the build tree's include root holds vexa -> SDK.
set(VEXA_INCLUDE_ROOT ${PROJECT_BINARY_DIR}/include)
file(MAKE_DIRECTORY ${VEXA_INCLUDE_ROOT})
file(CREATE_LINK ${PROJECT_SOURCE_DIR}/SDK ${VEXA_INCLUDE_ROOT}/vexa SYMBOLIC)

# One static library per SDK subsystem; the SDK's public sources go through
# this so that every subsystem is built the same way.
#   vexa_add_subsystem(name DEPENDS a b c PUBLIC_LIBS x y PRIVATE_LIBS z
#                      PUBLIC_HEADERS A.h B.h)
# Only the PUBLIC_HEADERS are installed: the headers a host includes and what
# they include in turn (tests/install checks that the set is closed).
function(vexa_add_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;PUBLIC_LIBS;PRIVATE_LIBS;PUBLIC_HEADERS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    # A subsystem being started has no sources yet; it joins once it has.
    message(STATUS "vexa: subsystem ${name} has no sources yet")
    return()
  endif()
  add_library(vexa_${name} STATIC ${sources} ${headers})
  add_library(vexa::${name} ALIAS vexa_${name})
  # Hosts compile the SDK's headers too; the requirement travels with them.
  target_compile_features(vexa_${name} PUBLIC cxx_std_20)
  target_include_directories(vexa_${name} PUBLIC
    $<BUILD_INTERFACE:${VEXA_INCLUDE_ROOT}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  foreach(dep IN LISTS ARG_DEPENDS)
    target_link_libraries(vexa_${name} PUBLIC vexa_${dep})
  endforeach()
  target_link_libraries(vexa_${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS}
                        $<BUILD_INTERFACE:vexa_warnings>)
  set_target_properties(vexa_${name} PROPERTIES EXPORT_NAME ${name})
  install(TARGETS vexa_${name} EXPORT vexaTargets
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/SDK ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(header IN LISTS ARG_PUBLIC_HEADERS)
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
      message(FATAL_ERROR "vexa: public header ${rel}/${header} does not exist")
    endif()
  endforeach()
  install(FILES ${ARG_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexa/${rel})
  set_property(GLOBAL APPEND PROPERTY VEXA_SUBSYSTEMS vexa_${name})
endfunction()

# One GoogleTest executable per subsystem, registered with CTest.
#   vexa_add_test_suite(name LIBS vexa_x ...)
function(vexa_add_test_suite name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    message(STATUS "vexa: test suite ${name} has no sources yet")
    return()
  endif()
  add_executable(${name}_tests ${sources})
  target_link_libraries(${name}_tests PRIVATE ${ARG_LIBS} vexa_testsupport
                        GTest::gtest GTest::gmock vexa_warnings)
  gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS ${name} TIMEOUT 300)
endfunction()
