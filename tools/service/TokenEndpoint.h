// "token": issues an access token for a valid appid/secret pair, with "op"
// "grant" or "refresh". Not signed; the parameters come in the query.
#pragma once

#include "service/ApiRouter.h"
#include "service/TokenRegistry.h"

namespace vexa::service {

class TokenEndpoint {
 public:
  // The registry must outlive the router.
  static void install(ApiRouter& router, TokenRegistry& tokens);
};

}  // namespace vexa::service
