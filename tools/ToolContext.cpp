#include "ToolContext.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "vexa/api/QLDownloadError.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/http/QLHTTPError.h"
#include "vexa/http/QLURL.h"
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

Status checkHome(const GlobalOptions& options) {
  applyHome(options);
  const std::string hint = options.home.empty() ? std::string(" (choose another with --home)") : "";
  auto problem = [&](const std::filesystem::path& path, const std::string& what) {
    const std::string where = options.home.empty() ? "the data folder " + path.string()
                                                   : "--home " + options.home;
    return Error("", 0, where + ": " + what + hint);
  };
  std::error_code ec;
  if (!options.home.empty() && std::filesystem::exists(options.home, ec) &&
      !std::filesystem::is_directory(options.home, ec)) {
    return problem(options.home, "is a file, not a folder");
  }
  for (const auto& folder : {Directories::applicationSupport(), Directories::caches(),
                             Directories::preferences()}) {
    std::filesystem::create_directories(folder, ec);
    if (ec) return problem(folder, "cannot make " + folder.string() + ": " + ec.message());
    if (::access(folder.c_str(), W_OK) != 0) {
      return problem(folder, "cannot write " + folder.string() + ": " + std::strerror(errno));
    }
  }
  return Status::Ok();
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  return MainQueue::shared().runUntil(done, timeout);
}

namespace {

const char* const kUsageDomain = "VXToolUsageErrorDomain";

// The codes by which the reference service refuses credentials or a path.
constexpr int64_t kServiceBadCredentials = 10002;
constexpr int64_t kServiceUnknownPath = 40400;

Status checkURL(const char* option, const std::string& value) {
  auto url = QLURL::parse(value);
  if (!url) return usageError(std::string(option) + " " + value + ": not a URL (" + url.error().description() + ")");
  if (url->scheme() != "http" && url->scheme() != "https") {
    return usageError(std::string(option) + " " + value + ": the scheme must be http or https");
  }
  return Status::Ok();
}

// The options a user would change to mend `error`, if it points at any.
std::string optionToFix(const Error& error, ServiceUse use) {
  const std::string service = use == ServiceUse::apiAndFiles ? "--api and --files" : "--api";
  if (error.domain() == kQLErrorDomain) {
    if (error.code() == QLDownloadManager::kMissingCredentialsCode) return "set --app-id and --secret";
    if (error.code() == kServiceBadCredentials) return "check --app-id and --secret";
    if (error.code() == kServiceUnknownPath) return "check --api";
    return {};
  }
  if (error.domain() == QLDownloadError::kDomain && error.code() == QLDownloadError::kNoFileHost) {
    return "check --files";
  }
  if (error.domain() == kQLHTTPRequestErrorDomain && error.code() == kQLHTTPRequestErrorInvalidURL) {
    return "check " + service;
  }
  if (error.domain() == kQLHTTPResponseErrorDomain) return "check " + service;
  if (error.domain() == kQLURLErrorDomain) {
    switch (error.code()) {
      case kQLURLErrorBadURL:
      case kQLURLErrorUnsupportedURL:
      case kQLURLErrorCannotFindHost:
      case kQLURLErrorCannotConnectToHost:
      case kQLURLErrorSecureConnectionFailed:
      case kQLURLErrorServerCertificateUntrusted:
        return "check " + service;
      default:
        return {};
    }
  }
  return {};
}

}  // namespace

Error usageError(std::string message) { return Error(kUsageDomain, kExitUsage, std::move(message)); }

Status checkServiceOptions(const GlobalOptions& options, ServiceUse use) {
  if (use != ServiceUse::none && options.apiBase.empty()) {
    return usageError("no service: give its API base URL with --api (or VEXA_API_BASE)");
  }
  if (use == ServiceUse::apiAndFiles && options.filesBase.empty()) {
    return usageError("no package file host: give its URL with --files (or VEXA_FILES_BASE)");
  }
  if (!options.apiBase.empty()) {
    if (Status ok = checkURL("--api", options.apiBase); !ok) return ok;
  }
  if (!options.filesBase.empty()) {
    if (Status ok = checkURL("--files", options.filesBase); !ok) return ok;
  }
  return Status::Ok();
}

int fail(const Error& error, ServiceUse use) {
  if (error.domain() == kUsageDomain) {
    std::cerr << "vexa: " << error.description() << "\n";
    return kExitUsage;
  }
  // The tool's own errors have no domain and say all in their text.
  std::cerr << "vexa: " << (error.domain().empty() ? error.description() : error.toString());
  if (std::string fix = optionToFix(error, use); !fix.empty()) std::cerr << "; " << fix;
  std::cerr << "\n";
  return kExitFailure;
}

int fail(const std::string& message) {
  std::cerr << "vexa: " << message << "\n";
  return kExitFailure;
}

}  // namespace vexa::tool
