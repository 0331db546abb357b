#include "support/TempDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "vexa/platform/Directories.h"

namespace vexa::test {

TempDirectory::TempDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vexa-test-XXXXXX").string();
  // Never fall back to the shared temporary directory: the destructor would
  // remove all of it.
  if (!::mkdtemp(pattern.data())) {
    throw std::filesystem::filesystem_error("cannot make a scratch directory", pattern,
                                            std::error_code(errno, std::generic_category()));
  }
  path_ = pattern;
}

TempDirectory::~TempDirectory() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

ScopedDataRoot::ScopedDataRoot() { Directories::setRoot(dir_.path()); }
ScopedDataRoot::~ScopedDataRoot() { Directories::setRoot(std::nullopt); }

}  // namespace vexa::test
