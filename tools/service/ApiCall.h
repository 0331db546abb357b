// What an API handler gets: the catalogue, the path arguments, the signed
// parameters and the body of one request. Lives for one request.
#pragma once

#include <string>
#include <vector>

#include "vexa/platform/Value.h"
#include "service/Catalog.h"
#include "service/WireRecords.h"

namespace vexa::service {

struct ApiCall {
  const Catalog& catalog;
  const WireRecords& wire;
  std::vector<std::string> args;  // decoded "%@" parts of the path, in order
  Value::Dictionary params;       // query parameters, or the body's for a body-signed POST
  Value body;                     // the JSON body; null when there is none
  std::string appId;              // the token's application; empty for the token request

  // A parameter's text, empty when absent or not a string.
  std::string text(const std::string& key) const {
    auto it = params.find(key);
    return it != params.end() && it->second.isString() ? *it->second.asString() : std::string();
  }
};

}  // namespace vexa::service
