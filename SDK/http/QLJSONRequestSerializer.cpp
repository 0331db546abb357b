#include "vexa/http/QLJSONRequestSerializer.h"

#include "vexa/platform/JsonCodec.h"

namespace vexa {

void QLJSONRequestSerializer::encodeBody(QLURLRequest& request, const Value& parameters) const {
  if (!request.header("Content-Type")) request.setHeader("Content-Type", "application/json");
  request.setBody(JsonCodec::serialize(parameters));
}

}  // namespace vexa
