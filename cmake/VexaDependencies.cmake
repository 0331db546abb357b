# Every third-party library comes from Debian packages (see scripts/setup.sh).
# pkg-config imported targets keep their headers as system includes, so the
# project's warnings never trip over them.

find_package(PkgConfig REQUIRED)
include(VexaLibraryDependencies)
vexa_find_library_dependencies(LDFLAGS_VAR VEXA_DEPENDENCY_LDFLAGS)
# Header-only, and only inside the platform library's sources.
find_package(nlohmann_json 3.10 REQUIRED)

if(VEXA_BUILD_TOOLS OR VEXA_BUILD_TESTS)
  find_package(CLI11 REQUIRED)
  pkg_check_modules(vexa_httplib REQUIRED IMPORTED_TARGET cpp-httplib)
endif()
if(VEXA_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(VEXA_BUILD_BENCH)
  find_package(benchmark REQUIRED)
  pkg_check_modules(vexa_re2 REQUIRED IMPORTED_TARGET re2)
endif()
