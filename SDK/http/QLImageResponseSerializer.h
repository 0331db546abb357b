// A response serializer for image loads: accepts the usual image content
// types and hands the body on as data (Value holding Bytes); decoding is the
// image code's business. Requests for images should carry "Accept: image/*".
#pragma once

#include "vexa/http/QLHTTPResponseSerializer.h"

namespace vexa {

class QLImageResponseSerializer : public QLHTTPResponseSerializer {
 public:
  QLImageResponseSerializer();
};

}  // namespace vexa
