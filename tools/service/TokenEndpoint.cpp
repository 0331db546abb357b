#include "service/TokenEndpoint.h"

#include "service/Envelope.h"

namespace vexa::service {

void TokenEndpoint::install(ApiRouter& router, TokenRegistry& tokens) {
  router.add(
      "GET", "token",
      [&tokens](const ApiCall& call) {
        std::string op = call.text("op");
        if (op != "grant" && op != "refresh")
          return Envelope::error(ServiceError::kBadRequest, "op must be grant or refresh");
        std::string appId = call.text("appid");
        std::string secret = call.text("secret");
        if (appId.empty() || secret.empty())
          return Envelope::error(ServiceError::kBadRequest, "appid and secret are required");
        if (!tokens.checkCredentials(appId, secret))
          return Envelope::error(ServiceError::kBadCredentials, "invalid appid or secret");
        return Envelope::data(Value::dict({{"access_token", tokens.issue(appId)},
                                           {"expires_in", int64_t(tokens.lifetime().count())}}));
      },
      false);
}

}  // namespace vexa::service
