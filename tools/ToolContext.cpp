#include "ToolContext.h"

#include <iostream>

#include "vexa/platform/Directories.h"
#include "vexa/platform/MainQueue.h"

namespace vexa::tool {

void addGlobalOptions(CLI::App& app, GlobalOptions& o) {
  app.add_option("--api", o.apiBase, "API base URL (its path ends in /api/v1)")->envname("VEXA_API_BASE");
  app.add_option("--files", o.filesBase, "base URL of the package file host")->envname("VEXA_FILES_BASE");
  app.add_option("--home", o.home, "device data root (store, caches, settings)")->envname("VEXA_HOME");
  app.add_option("--app-id", o.appId, "application id")->envname("VEXA_APP_ID");
  app.add_option("--secret", o.secret, "application secret")->envname("VEXA_APP_SECRET");
  app.add_option("--user", o.userId, "host user id")->envname("VEXA_USER_ID");
}

void applyHome(const GlobalOptions& options) {
  if (!options.home.empty()) Directories::setRoot(std::filesystem::path(options.home));
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  return MainQueue::shared().runUntil(done, timeout);
}

int fail(const Error& error) {
  std::cerr << "vexa: " << error.toString() << "\n";
  return 1;
}

int fail(const std::string& message) {
  std::cerr << "vexa: " << message << "\n";
  return 1;
}

}  // namespace vexa::tool
