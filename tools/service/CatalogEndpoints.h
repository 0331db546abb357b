// The read-only API over the catalogue: banner groups, shop categories, the
// default and recommended categories, packages with their emojis, emojis by
// guid or code, and the new-package timestamp.
#pragma once

#include "service/ApiRouter.h"

namespace vexa::service {

class CatalogEndpoints {
 public:
  // Install after LookupEndpoints: "emoji/{}" would catch their paths.
  static void install(ApiRouter& router);
};

}  // namespace vexa::service
