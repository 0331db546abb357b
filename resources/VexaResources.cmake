# The resource bundle VEXA.bundle and the pictures built into vexa_core.
# Included from SDK/core/CMakeLists.txt, so that the generated source belongs
# to the directory of the target that compiles it.
#
# tools/resgen draws the pictures with cairo at build time: the bundle's PNG
# files go into the bundle in the build tree, the built-in ones into a
# generated source as Base64 text. The bundle is installed beside the SDK
# (<datadir>/vexa/VEXA.bundle); the SDK looks for it in VEXA_BUNDLE_DIR, the
# build tree and the install location, in that order.

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

target_sources(vexa_core PRIVATE ${vexa_builtin_images})
target_compile_definitions(vexa_core PRIVATE
  VEXA_BUNDLE_BUILD_DIR="${vexa_bundle_build}"
  VEXA_BUNDLE_INSTALL_DIR="${CMAKE_INSTALL_FULL_DATADIR}/vexa/VEXA.bundle")
install(DIRECTORY ${vexa_bundle_build} DESTINATION ${CMAKE_INSTALL_DATADIR}/vexa)
