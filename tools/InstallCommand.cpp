// vexa install [--json] GUID: downloads one package from the shop (its
// emoji list and the images the device lacks) with its progress on standard
// error.
#include <iostream>

#include "Commands.h"
#include "ProgressBar.h"
#include "ToolSdk.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/store/QLPackageCache.h"

namespace vexa::tool {
namespace {

// The package as the service describes it.
Result<std::shared_ptr<QLPackage>> describePackage(const std::string& guid) {
  auto answer = awaitAnswer<Result<QLResponse>>(
      [&guid](auto done) {
        QLDownloadManager::defaultManager().sendRequest(
            QLRequestTypePackage, Value::dict({{kHTTPPathParamKey, guid}}), done);
      },
      std::chrono::minutes(1));
  if (!answer) return Error(kQLErrorDomain, -1, "no answer to the package request");
  if (!answer->ok()) return answer->error();
  const Value* record = answer->value().value();
  auto package = std::make_shared<QLPackage>();
  if (record && record->isDictionary()) package->updateWithKeyValues(*record);
  if (package->guid() != guid) {
    return Error(kQLErrorDomain, -1, "the service does not describe the package " + guid);
  }
  return package;
}

int runInstall(const GlobalOptions& options, const std::string& guid, bool json) {
  if (Status configured = configureSdk(options, ServiceUse::api); !configured) return fail(configured.error());
  for (const auto& stored : QLPackageCache::defaultCache().allPackages()) {
    if (stored->guid() == guid) {
      // Nothing installed now: the JSON list is empty.
      (json ? std::cerr : std::cout) << "already installed: " << stored->name() << " (" << guid << ")\n";
      if (json) std::cout << "[]\n";
      return 0;
    }
  }
  auto described = describePackage(guid);
  if (!described) return fail(described.error());
  std::shared_ptr<QLPackage> package = *described;

  ProgressBar bar(std::cerr, package->name().empty() ? guid : package->name(),
                  ProgressBar::stderrIsTerminal());
  Subscription progress = package->observeProgress([&bar](const double& p) { bar.update(p); });
  auto outcome = awaitAnswer<Status>(
      [&package](auto done) { QLDownloadManager::defaultManager().downloadPackage(package, done); });
  progress.reset();  // a late tick must not draw over the finished bar
  bar.finish();
  finishSdkWork();
  if (!outcome) return fail("the package did not arrive in time");
  if (!*outcome) return fail(outcome->error());
  if (json) {
    std::cout << JsonCodec::serialize(Value(Value::Array{packageJson(*package)})) << "\n";
    return 0;
  }
  std::cout << "installed " << package->name() << " (" << guid << "): "
            << package->emojis().size() << " emojis\n";
  return 0;
}

}  // namespace

void addInstallCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("install", "download and install one package of the shop");
  auto guid = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  cmd->add_flag("--json", *json, "a JSON array of the package installed now (as packages --json), or []");
  cmd->add_option("GUID", *guid, "the package's guid (vexa catalog lists them)")->required();
  cmd->callback([&options, &status, guid, json] { status = runInstall(options, *guid, *json); });
}

}  // namespace vexa::tool
