// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away.
#pragma once

#include <filesystem>

namespace vexa::test {

class TempDirectory {
 public:
  TempDirectory();
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Points the SDK's data root at a fresh temporary directory for the
// lifetime of the object, then returns to the default root.
class ScopedDataRoot {
 public:
  ScopedDataRoot();
  ~ScopedDataRoot();
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TempDirectory dir_;
};

}  // namespace vexa::test
