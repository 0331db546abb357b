// The process environment as the SDK reads it (VEXA_HOME, VEXA_BUNDLE_DIR,
// the locale variables, the service's base URLs...). A value set here
// stands in for the real variable for this process, so tests set the
// environment the SDK sees without touching the real one; restore() goes
// back to the real variable. Thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexa {

class Environment {
 public:
  // The variable's value, nullopt when it is unset.
  static std::optional<std::string> get(std::string_view name);
  // The value when the variable is set and not empty, else nullopt.
  static std::optional<std::string> nonEmpty(std::string_view name);

  // The SDK sees `value` for the variable from now on.
  static void set(std::string_view name, std::string value);
  // The SDK sees the variable unset from now on.
  static void unset(std::string_view name);
  // The SDK sees the real variable again.
  static void restore(std::string_view name);
};

}  // namespace vexa
