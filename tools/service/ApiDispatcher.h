// Answers the requests under "/api/v1/": finds the route, checks the body,
// the signature and the access token the way the service requires, and
// runs the route's handler.
//
// Order of checks for a signed route: the body (JSON object when present),
// the query, the common parameters ("timestamp" in decimal digits,
// "device_no", "os", "signature"), the signature (30002 on mismatch), then
// the access token (30001 when missing, unknown or expired). The signed
// parameters are those of the query, or, when the query carries no
// signature, those of a POST's JSON body. The signed URL is "http://", the
// Host header and the path exactly as received.
//
// Thread-safe after construction: the server calls dispatch() from all of
// its request threads.
#pragma once

#include <string>

#include "vexa/platform/Value.h"
#include "service/ApiRequest.h"
#include "service/ApiRouter.h"
#include "service/Catalog.h"
#include "service/ReportBook.h"
#include "service/TokenRegistry.h"

namespace vexa::service {

class ApiDispatcher {
 public:
  static constexpr const char* kPrefix = "/api/v1/";

  struct Reply {
    int status = 200;
    Value envelope;
    std::string route;  // the matched route's pattern; empty when none
  };

  // The registry and the book must outlive the dispatcher.
  ApiDispatcher(TokenRegistry& tokens, ReportBook& reports);

  // `fallbackHost` stands in for a missing Host header; `filesBase` is the
  // file host's base URL (ending in "/") for the image URLs of the answers.
  Reply dispatch(const ApiRequest& request, const Catalog& catalog, const std::string& fallbackHost,
                 const std::string& filesBase) const;

 private:
  TokenRegistry& tokens_;
  ApiRouter router_;
};

}  // namespace vexa::service
