// What the package, lookup and parse commands share: pointing the SDK at
// the service and the data root of the global options, the JSON forms of
// packages and emojis, and the bounded wait for reports in flight.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "ToolContext.h"
#include "vexa/platform/Result.h"
#include "vexa/api/QLResponse.h"
#include "vexa/core/VXEmotionCentre.h"
#include "vexa/platform/Value.h"
#include "vexa/store/QLPackage.h"
#include "vexa/store/VXEmoji.h"

namespace vexa::service {
class EmoticonService;
}

namespace vexa::tool {

// The service a command talks to and the global options that reach it.
struct ServiceConnection {
  ServiceConnection();
  ServiceConnection(ServiceConnection&&) noexcept;
  ServiceConnection& operator=(ServiceConnection&&) noexcept;
  ~ServiceConnection();

  // The reference service started in-process, when there was no --api.
  std::unique_ptr<service::EmoticonService> embedded;
  // The globals with the service's URLs filled in, and for the embedded
  // service its demo application's credentials unless given; the user id
  // is `defaultUserId` unless given.
  GlobalOptions options;
};

// The service at --api, or without --api the reference service on a free
// loopback port over the sample catalogue (the embedded default).
Result<ServiceConnection> connectService(const GlobalOptions& options, const std::string& defaultUserId);

// Applies --home, checks that its folders can be made and written, and
// starts the SDK as a host does, through the centre (whose creation runs the
// one-time upgrade of an older store). A store list found corrupt and
// rebuilt is told on standard error; one that cannot be read fails.
Status openSdk(const GlobalOptions& options);

// checkServiceOptions(), openSdk(), then gives the download manager --api
// (when set) and --files, and the centre the application id, secret and
// user id.
Status configureSdk(const GlobalOptions& options, ServiceUse use = ServiceUse::none);

// The shop's categories with their packages, from the service.
Result<QLCategories> fetchCategories();

// {"id", "code", "name", "packageId", "hasImage"}.
Value emojiJson(const VXEmoji& emoji);
Value emojisJson(const std::vector<std::shared_ptr<VXEmoji>>& emojis);
// {"guid", "name", "isDefault", "isEmoji", "packageType", "emojiCount"}.
Value packageJson(const QLPackage& package);

// Downloads and stores the default packages as the keyboard does when it
// finds none: nothing when they are in the store already; their list file is
// written only once all are in, and a partial list is dropped on failure.
// `onStored` hears of each package as it is stored. The number stored now.
Result<size_t> installDefaultPackages(const std::function<void(const QLPackage&)>& onStored);

// Lets the usage reports in flight finish, for at most `limit`; false when
// some were still unanswered.
bool waitForReports(std::chrono::milliseconds limit = std::chrono::seconds(10));

// Lets the store's queued image writes and removals run, which an exit would
// cut short. Does not run the main queue.
void waitForStoreDiskWork();

// What a command that used the store does before the tool exits, once
// nothing waits for an answer any more: waitForStoreDiskWork(), then
// waitForReports().
bool finishSdkWork();

}  // namespace vexa::tool
