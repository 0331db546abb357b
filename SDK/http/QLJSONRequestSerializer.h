// A request serializer that writes the parameters of body-carrying methods
// ("POST" and the like) as a compact JSON document with "Content-Type"
// "application/json" (unless the request has a Content-Type already).
// Parameters of "GET", "HEAD" and "DELETE" still travel in the query.
#pragma once

#include "vexa/http/QLHTTPRequestSerializer.h"

namespace vexa {

class QLJSONRequestSerializer : public QLHTTPRequestSerializer {
 protected:
  void encodeBody(QLURLRequest& request, const Value& parameters) const override;
};

}  // namespace vexa
