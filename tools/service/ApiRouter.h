// The API's route table: relative paths under "/api/v1/" with "{}" for a
// path argument, the method, whether the request must be signed and carry a
// token, and the handler that makes the answer envelope.
//
// Routes are tried in the order they were added, so literal paths go before
// patterns that would also match them ("emoji/codes" before "emoji/{}").
// Filled at start-up, read-only afterwards: any thread.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/Value.h"
#include "service/ApiCall.h"

namespace vexa::service {

class ApiRouter {
 public:
  using Handler = std::function<Value(const ApiCall& call)>;
  struct Route {
    std::string method;
    std::string pattern;
    bool authenticated = true;
    Handler handler;
  };
  struct Match {
    const Route* route = nullptr;
    std::vector<std::string> args;
    bool methodAllowed = true;  // false: the path exists, but for another method
  };

  void add(std::string method, std::string pattern, Handler handler, bool authenticated = true);
  // The first route whose path matches the decoded segments; none for an
  // unknown path.
  std::optional<Match> match(std::string_view method, const std::vector<std::string>& segments) const;

 private:
  std::vector<Route> routes_;
};

}  // namespace vexa::service
