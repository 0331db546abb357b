// What interrupted writes leave in the store's folders: temporary files of
// atomic writes and downloads ("<name>.tmp.<pid>.XXXXXX") and unpacking
// folders (".unzip.<pid>.…").
// Each name carries the id of the process writing it; the store removes
// them when it is made, but only those whose process is gone, so a file
// another process is still writing is never touched.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace vexa {

class QLStoreLeftovers {
 public:
  // Removes the leftovers directly in `folder` whose writer is gone; how
  // many were removed. A folder that is missing or unreadable has none.
  static size_t sweep(const std::filesystem::path& folder);
  // The writer's process id of a leftover's name; none for other names.
  static std::optional<pid_t> ownerOf(std::string_view name);
  // The name an unpacking folder of the current process starts with.
  static constexpr const char* kUnpackPrefix = ".unzip.";
};

}  // namespace vexa
