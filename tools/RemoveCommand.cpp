// vexa remove [--json] GUID: removes a downloaded package with its files and reports
// the removal, as the my-emoticons screen does. Default packages stay.
#include <iostream>

#include "Commands.h"
#include "ToolSdk.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/store/QLPackageHelper.h"

namespace vexa::tool {
namespace {

int runRemove(const GlobalOptions& options, const std::string& guid, bool json) {
  if (Status configured = configureSdk(options); !configured) return fail(configured.error());
  auto& store = QLPackageCache::defaultCache();
  auto package = QLPackageHelper::packageWithGuid(guid, store);
  if (!package) {
    for (const auto& stored : store.defaultPackages()) {
      if (stored->guid() == guid) return fail("the default package " + guid + " cannot be removed");
    }
    return fail("no downloaded package " + guid);
  }
  // A removal that did not happen (removed elsewhere meanwhile, or a write
  // that failed) is no removal to report.
  if (Status removed = store.removePackage(package); !removed) return fail(removed.error());
  QLDownloadManager::defaultManager().logAction(QLRequestTypeRemovePackage,
                                                Value::dict({{kHTTPPathParamKey, guid}}));
  if (!finishSdkWork()) std::cerr << "vexa: the removal report is still unanswered\n";
  if (json) {
    std::cout << JsonCodec::serialize(Value(Value::Array{packageJson(*package)})) << "\n";
    return 0;
  }
  std::cout << "removed " << package->name() << " (" << guid << ")\n";
  return 0;
}

}  // namespace

void addRemoveCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("remove", "remove a downloaded package and report it");
  auto guid = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  cmd->add_flag("--json", *json, "a JSON array of the package removed (as packages --json)");
  cmd->add_option("GUID", *guid, "the package's guid (vexa packages lists them)")->required();
  cmd->callback([&options, &status, guid, json] { status = runRemove(options, *guid, *json); });
}

}  // namespace vexa::tool
