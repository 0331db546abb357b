// The generated sample catalogue, kept in a cache directory so that it is
// drawn once per content version: "<cache>/vexa-sample-catalog-v<N>".
//
// Generation goes to a temporary sibling that is renamed into place when
// complete, so a reader never sees half a catalogue and two processes that
// generate at once both end with a whole one. Any thread.
#pragma once

#include <filesystem>
#include <memory>

#include "vexa/platform/Result.h"
#include "service/Catalog.h"

namespace vexa::service {

class SampleCatalog {
 public:
  // The catalogue directory under `cacheRoot`, generated when missing.
  static Result<std::filesystem::path> ensure(const std::filesystem::path& cacheRoot);
  // ensure() and load it.
  static Result<std::shared_ptr<const Catalog>> load(const std::filesystem::path& cacheRoot);
};

}  // namespace vexa::service
