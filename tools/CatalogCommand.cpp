// vexa catalog [--json]: the shop's categories and their packages, each
// marked when it is in the store, so that a user finds the guid to install.
#include <iostream>
#include <set>

#include "Commands.h"
#include "ToolSdk.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/store/QLPackageCache.h"

namespace vexa::tool {
namespace {

std::set<std::string> storedGuids() {
  std::set<std::string> guids;
  for (const auto& package : QLPackageCache::defaultCache().allPackages()) guids.insert(package->guid());
  return guids;
}

int runCatalog(const GlobalOptions& options, bool json) {
  if (Status configured = configureSdk(options, ServiceUse::api); !configured) return fail(configured.error());
  auto categories = fetchCategories();
  finishSdkWork();
  if (!categories) return fail(categories.error());
  const std::set<std::string> stored = storedGuids();
  Value::Array out;
  for (const auto& category : *categories) {
    if (!json) std::cout << category->name() << "\n";
    for (const auto& package : category->packages()) {
      const bool installed = stored.contains(package->guid());
      if (json) {
        out.push_back(Value::dict({{"category", category->name()},
                                   {"guid", package->guid()},
                                   {"name", package->name()},
                                   {"packageType", package->packageType()},
                                   {"installed", installed}}));
      } else {
        std::cout << "  " << package->guid() << "  " << package->name() << (installed ? "  (installed)" : "")
                  << "\n";
      }
    }
  }
  if (json) std::cout << JsonCodec::serialize(Value(std::move(out))) << "\n";
  return 0;
}

}  // namespace

void addCatalogCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("catalog", "list the shop's categories and their packages");
  auto json = std::make_shared<bool>(false);
  cmd->add_flag("--json", *json, "a JSON array of {category, guid, name, packageType, installed}");
  cmd->callback([&options, &status, json] { status = runCatalog(options, *json); });
}

}  // namespace vexa::tool
