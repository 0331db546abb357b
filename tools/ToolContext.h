// What every command of the vexa tool shares: the global options (each also
// read from the environment) and the main-queue helpers a command-line
// program needs to wait for the SDK's completions.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "vexa/platform/Error.h"
#include "vexa/platform/Result.h"

namespace vexa::tool {

struct GlobalOptions {
  std::string apiBase;    // --api / VEXA_API_BASE
  std::string filesBase;  // --files / VEXA_FILES_BASE
  std::string home;       // --home / VEXA_HOME
  std::string appId;      // --app-id / VEXA_APP_ID
  std::string secret;     // --secret / VEXA_APP_SECRET
  std::string userId;     // --user / VEXA_USER_ID
};

// Adds the global options to the application.
void addGlobalOptions(CLI::App& app, GlobalOptions& options);

// Points the SDK's data root at --home when one was given.
void applyHome(const GlobalOptions& options);
// applyHome(), then makes sure the SDK's folders below it exist and can be
// written; the error names --home (or the folder when there is none).
Status checkHome(const GlobalOptions& options);

// Runs the main queue until `done` holds or the timeout passes; false on
// timeout.
bool waitFor(const std::function<bool()>& done,
             std::chrono::milliseconds timeout = std::chrono::minutes(5));

// Starts an operation that answers once through the function `start` is
// given, and runs the main queue until it answers; none after `timeout`. A
// late answer lands in storage of its own, never in the frame of a caller
// that gave up waiting.
template <typename T>
std::optional<T> awaitAnswer(const std::function<void(std::function<void(const T&)>)>& start,
                             std::chrono::milliseconds timeout = std::chrono::minutes(5)) {
  auto answer = std::make_shared<std::optional<T>>();
  start([answer](const T& value) {
    if (!answer->has_value()) answer->emplace(value);
  });
  if (!waitFor([&answer] { return answer->has_value(); }, timeout)) return std::nullopt;
  return *answer;
}

// Exit statuses of the tool.
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A mistake in how the tool was called (a missing or malformed option, a
// command that needs an option not given): it says all in its text.
Error usageError(std::string message);

// Which options point at the service a command talks to.
enum class ServiceUse {
  none,         // the service is not needed (its reports may still go out)
  api,          // --api
  apiAndFiles,  // --api, and --files for the package archives
};

// The option values a command relies on, before anything is done: the
// service URLs `use` needs must be given, and any given must be HTTP(S).
Status checkServiceOptions(const GlobalOptions& options, ServiceUse use);

// Prints "vexa: <description> (<domain> <code>)" on standard error, naming
// the option to fix where the error points at one, and returns the exit
// status: kExitUsage for a usage error, else kExitFailure. `use` tells which
// service options a transfer error may be down to.
int fail(const Error& error, ServiceUse use = ServiceUse::api);
int fail(const std::string& message);

}  // namespace vexa::tool
