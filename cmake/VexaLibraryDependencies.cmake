# The system libraries the SDK's static libraries link, looked up both by the
# build and by find_package(vexa) in a host. Everything runs inside a
# function, and pkg-config prefixes are vexa_*, so a host's own variables
# (PNG_LIBRARIES, CURL_LIBRARIES...) and lookups are left as they were; only
# the imported targets remain visible.
#   vexa_find_library_dependencies([LDFLAGS_VAR var])
# LDFLAGS_VAR receives the linker flags of the pkg-config modules for the
# pkg-config file.

include_guard(GLOBAL)

function(vexa_find_library_dependencies)
  cmake_parse_arguments(ARG "" "LDFLAGS_VAR" "" ${ARGN})
  find_package(PkgConfig REQUIRED QUIET)
  find_package(Threads REQUIRED)
  find_package(ZLIB REQUIRED)
  find_package(OpenSSL REQUIRED)
  set(modules
    vexa_minizip  minizip
    vexa_curl     libcurl
    vexa_plist    libplist-2.0
    vexa_gif      libgif
    vexa_png      libpng
    vexa_jpeg     libjpeg
    vexa_exif     libexif
    vexa_webp     "libwebp libwebpdemux"
    vexa_cairo    cairo
    vexa_pango    pangocairo
    vexa_utf8proc libutf8proc)
  set(ldflags "")
  while(modules)
    list(POP_FRONT modules prefix names)
    separate_arguments(names)
    if(NOT TARGET PkgConfig::${prefix})
      pkg_check_modules(${prefix} REQUIRED QUIET IMPORTED_TARGET GLOBAL ${names})
    endif()
    list(APPEND ldflags ${${prefix}_LDFLAGS})
  endwhile()
  if(ARG_LDFLAGS_VAR)
    list(REMOVE_DUPLICATES ldflags)
    set(${ARG_LDFLAGS_VAR} "${ldflags}" PARENT_SCOPE)
  endif()
endfunction()
