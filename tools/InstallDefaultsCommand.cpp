// vexa install-defaults [--json]: downloads and installs the default packages, one
// after another, as the keyboard does at its first use.
#include <iostream>

#include "Commands.h"
#include "ToolSdk.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/store/QLPackageCache.h"

namespace vexa::tool {
namespace {

int runInstallDefaults(const GlobalOptions& options, bool json) {
  if (Status configured = configureSdk(options, ServiceUse::apiAndFiles); !configured) {
    return fail(configured.error(), ServiceUse::apiAndFiles);
  }
  Value::Array stored;
  auto installed = installDefaultPackages([&stored](const QLPackage& package) {
    std::cerr << "installed " << package.name() << " (" << package.guid() << ")\n";
    stored.push_back(packageJson(package));
  });
  finishSdkWork();
  if (!installed) return fail(installed.error(), ServiceUse::apiAndFiles);
  if (json) {
    std::cout << JsonCodec::serialize(Value(std::move(stored))) << "\n";
    return 0;
  }
  std::cout << "default packages: " << QLPackageCache::defaultCache().defaultPackages().size()
            << " stored, " << *installed << " newly installed\n";
  return 0;
}

}  // namespace

void addInstallDefaultsCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("install-defaults", "download and install the default packages");
  auto json = std::make_shared<bool>(false);
  cmd->add_flag("--json", *json, "a JSON array of the packages installed now (as packages --json)");
  cmd->callback([&options, &status, json] { status = runInstallDefaults(options, *json); });
}

}  // namespace vexa::tool
