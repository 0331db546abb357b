# Every third-party library comes from Debian packages (see scripts/setup.sh).
# pkg-config imported targets keep their headers as system includes, so the
# project's -Werror never trips over them.

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
find_package(OpenSSL REQUIRED)
find_package(nlohmann_json 3.10 REQUIRED)

pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(GIF REQUIRED IMPORTED_TARGET libgif)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(EXIF REQUIRED IMPORTED_TARGET libexif)
pkg_check_modules(WEBP REQUIRED IMPORTED_TARGET libwebp libwebpdemux)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(PANGO REQUIRED IMPORTED_TARGET pangocairo)
pkg_check_modules(UTF8PROC REQUIRED IMPORTED_TARGET libutf8proc)

if(VEXA_BUILD_TOOLS OR VEXA_BUILD_TESTS)
  find_package(CLI11 REQUIRED)
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
endif()
if(VEXA_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(VEXA_BUILD_BENCH)
  find_package(benchmark REQUIRED)
  pkg_check_modules(RE2 REQUIRED IMPORTED_TARGET re2)
endif()
