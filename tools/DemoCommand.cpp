// vexa demo: the road of one emoji, end to end.
#include <iostream>

#include "Commands.h"
#include "core/VXVersionManager.h"

namespace vexa::tool {

void addDemoCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("demo", "walk one emoji from configuration to a parsed message");
  cmd->callback([&options, &status] {
    applyHome(options);
    std::cout << VXVersionManager::versionString() << "\n";
    std::cout << "The demo will: start the reference emoticon service on a free loopback port,\n"
                 "configure the SDK, install the default packages, list the store, install a\n"
                 "shop package, look up a sticker by code and parse a chat message.\n";
    status = 0;
  });
}

}  // namespace vexa::tool
