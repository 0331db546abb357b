// vexa packages [--json]: the packages in the store, default ones first,
// then the downloaded ones, newest first.
#include <iostream>

#include "Commands.h"
#include "ToolSdk.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/store/QLPackageCache.h"

namespace vexa::tool {
namespace {

int runPackages(const GlobalOptions& options, bool json) {
  if (Status opened = openSdk(options); !opened) return fail(opened.error());
  auto packages = QLPackageCache::defaultCache().allPackages();
  if (json) {
    Value::Array out;
    for (const auto& package : packages) out.push_back(packageJson(*package));
    std::cout << JsonCodec::serialize(Value(std::move(out))) << "\n";
    return 0;
  }
  if (packages.empty()) std::cout << "no packages stored\n";
  for (const auto& package : packages) {
    std::cout << (package->isDefault() ? "default   " : "download  ")
              << (package->isEmoji() ? "small  " : "big    ") << package->guid() << "  "
              << package->name() << " (" << package->emojis().size() << " emojis)\n";
  }
  return 0;
}

}  // namespace

void addPackagesCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("packages", "list the stored packages");
  auto json = std::make_shared<bool>(false);
  cmd->add_flag("--json", *json,
                "a JSON array of {guid, name, isDefault, isEmoji, packageType, emojiCount}");
  cmd->callback([&options, &status, json] { status = runPackages(options, *json); });
}

}  // namespace vexa::tool
