// Where the SDK keeps its files on the device.
//
// With a root set (setRoot(), or the VEXA_HOME environment variable) every
// directory lies under it:
//   <root>/ApplicationSupport   package store, durable data
//   <root>/Caches               image cache, data that may be deleted
//   <root>/Preferences          user defaults
//   <root>/Keychain             secure items (mode 0700)
// Without one, the XDG base directories are used: $XDG_DATA_HOME/vexa,
// $XDG_CACHE_HOME/vexa, $XDG_CONFIG_HOME/vexa, $XDG_DATA_HOME/vexa/Keychain
// (with the usual ~/.local/share, ~/.cache and ~/.config defaults).
//
// Directories are not created here; their users create them on first write.
#pragma once

#include <filesystem>
#include <optional>

namespace vexa {

class Directories {
 public:
  // Sets (or with none, clears) the root for the whole process. Objects that
  // already computed their paths keep them.
  static void setRoot(std::optional<std::filesystem::path> root);
  static std::optional<std::filesystem::path> root();

  static std::filesystem::path applicationSupport();
  static std::filesystem::path caches();
  static std::filesystem::path preferences();
  static std::filesystem::path keychain();
};

}  // namespace vexa
