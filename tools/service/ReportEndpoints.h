// Usage reports: "callback/package/{guid}" with "action" view, download or
// remove, and "callback/emojis/usage" with a JSON body {"package_id",
// "usages": [{"emoji_id", "emoji_text", "action"}]} whose actions are view,
// send, receive or favor. Accepted reports go to the ReportBook.
#pragma once

#include "service/ApiRouter.h"
#include "service/ReportBook.h"

namespace vexa::service {

class ReportEndpoints {
 public:
  static constexpr size_t kMaxUsages = 100;
  // The book must outlive the router.
  static void install(ApiRouter& router, ReportBook& reports);
};

}  // namespace vexa::service
