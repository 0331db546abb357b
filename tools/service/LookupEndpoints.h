// Lookups of emojis by code: "emoji/small_emo_code" and "emoji/big_emo_code"
// (codes in a JSON body {"codes": [...]}, signed parameters in the query)
// and "emoji/codes" (codes among the signed parameters, else in the body). Each answers a
// "data_list" with one element per distinct code, in request order: the
// emoji, or {"guid": null, "emo_code": code} for a code it does not know.
#pragma once

#include "service/ApiRouter.h"

namespace vexa::service {

class LookupEndpoints {
 public:
  static constexpr size_t kMaxCodes = 1000;
  static void install(ApiRouter& router);
};

}  // namespace vexa::service
