// What a zip archive tells its owner while it works.
//
// Both operations are optional: leave a member empty and the archive skips
// it. The owner keeps the delegate in a std::shared_ptr; the archive holds
// it weakly. Called on the thread that drives the archive.
#pragma once

#include <functional>
#include <string>

namespace vexa {

struct QLZipArchiveDelegate {
  // A failure or refusal, in a short English message.
  std::function<void(const std::string& message)> ErrorMessage;
  // Whether the existing file at `path` may be replaced; when not
  // implemented the archive replaces it.
  std::function<bool(const std::string& path)> OverWriteOperation;
};

}  // namespace vexa
