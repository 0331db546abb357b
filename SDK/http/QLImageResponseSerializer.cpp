#include "vexa/http/QLImageResponseSerializer.h"

namespace vexa {

QLImageResponseSerializer::QLImageResponseSerializer() {
  setAcceptableContentTypes(std::set<std::string>{
      "image/tiff", "image/jpeg", "image/jpg", "image/gif", "image/png", "image/ico",
      "image/x-icon", "image/bmp", "image/x-bmp", "image/x-xbitmap", "image/x-win-bitmap",
      "image/webp"});
}

}  // namespace vexa
