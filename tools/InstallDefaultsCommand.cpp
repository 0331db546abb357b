// vexa install-defaults: downloads and installs the default packages, one
// after another, as the keyboard does at its first use.
#include <iostream>
#include <optional>

#include "Commands.h"
#include "ToolSdk.h"
#include "api/QLDownloadManager.h"
#include "platform/NotificationCenter.h"
#include "store/QLPackageCache.h"

namespace vexa::tool {
namespace {

int runInstallDefaults(const GlobalOptions& options) {
  if (Status configured = configureSdk(options); !configured) return fail(configured.error());
  auto& store = QLPackageCache::defaultCache();
  size_t installed = 0;
  Subscription added = NotificationCenter::defaultCenter().addObserver(
      kQLEmotionPackageAddNotification, [&store, &installed](const Notification&) {
        ++installed;
        const auto& defaults = store.defaultPackages();
        if (!defaults.empty()) {
          std::cerr << "installed " << defaults.back()->name() << " (" << defaults.back()->guid()
                    << ")\n";
        }
      });
  std::optional<Status> outcome;
  QLDownloadManager::defaultManager().downloadDefaultPackages(
      [&outcome](const Status& status) { outcome = status; });
  bool finished = waitFor([&] { return outcome.has_value(); });
  finishSdkWork();
  if (!finished) return fail("the default packages did not arrive in time");
  if (!*outcome) return fail(outcome->error());
  // The list of default packages is written once all of them are in, as the
  // keyboard does: a partial list would keep the rest from ever being
  // fetched.
  store.savePackageCache();
  std::cout << "default packages: " << store.defaultPackages().size() << " stored, " << installed
            << " newly installed\n";
  return 0;
}

}  // namespace

void addInstallDefaultsCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("install-defaults", "download and install the default packages");
  cmd->callback([&options, &status] { status = runInstallDefaults(options); });
}

}  // namespace vexa::tool
