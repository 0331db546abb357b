// vexa install-defaults: downloads and installs the default packages, one
// after another, as the keyboard does at its first use.
#include <iostream>

#include "Commands.h"
#include "ToolSdk.h"
#include "vexa/store/QLPackageCache.h"

namespace vexa::tool {
namespace {

int runInstallDefaults(const GlobalOptions& options) {
  if (Status configured = configureSdk(options); !configured) return fail(configured.error());
  auto installed = installDefaultPackages([](const QLPackage& package) {
    std::cerr << "installed " << package.name() << " (" << package.guid() << ")\n";
  });
  finishSdkWork();
  if (!installed) return fail(installed.error());
  std::cout << "default packages: " << QLPackageCache::defaultCache().defaultPackages().size()
            << " stored, " << *installed << " newly installed\n";
  return 0;
}

}  // namespace

void addInstallDefaultsCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("install-defaults", "download and install the default packages");
  cmd->callback([&options, &status] { status = runInstallDefaults(options); });
}

}  // namespace vexa::tool
