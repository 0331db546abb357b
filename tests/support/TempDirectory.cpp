#include "support/TempDirectory.h"

#include <cstdlib>
#include <string>

#include "platform/Directories.h"

namespace vexa::test {

TempDirectory::TempDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vexa-test-XXXXXX").string();
  char* made = ::mkdtemp(pattern.data());
  path_ = made ? std::filesystem::path(made) : std::filesystem::temp_directory_path();
}

TempDirectory::~TempDirectory() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

ScopedDataRoot::ScopedDataRoot() { Directories::setRoot(dir_.path()); }
ScopedDataRoot::~ScopedDataRoot() { Directories::setRoot(std::nullopt); }

}  // namespace vexa::test
