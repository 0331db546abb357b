// Small file helpers and a recording delegate for the zip and store tests.
#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "vexa/store/zip/QLZipArchiveDelegate.h"

namespace vexa::test {

void writeText(const std::filesystem::path& path, const std::string& text);
std::string readText(const std::filesystem::path& path);
// Every entry below `root`, relative, "/" after directories and "@" after
// symbolic links; links are not followed.
std::set<std::string> listTree(const std::filesystem::path& root);

// Remembers the messages and overwrite questions an archive sends.
struct RecordingDelegate {
  RecordingDelegate();
  RecordingDelegate(const RecordingDelegate&) = delete;
  RecordingDelegate& operator=(const RecordingDelegate&) = delete;
  std::shared_ptr<QLZipArchiveDelegate> delegate;
  std::vector<std::string> messages;
  std::vector<std::string> asked;
  bool answer = true;
};

}  // namespace vexa::test
