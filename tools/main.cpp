// vexa: the SDK's command-line tool. Each command lives in its own file and
// registers itself through Commands.h.
#include <iostream>

#include <CLI/CLI.hpp>

#include "Commands.h"
#include "ToolContext.h"
#include "vexa/core/VXVersionManager.h"

// fontconfig (under Pango, which draws the sample catalogue for demo and
// serve) keeps its font cache for the whole process and never frees it; sanitizer builds must not report it as ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
// Nor may the count of suppressed leaks join the tool's own standard error.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

int main(int argc, char** argv) {
  using namespace vexa::tool;
  CLI::App app{vexa::VXVersionManager::versionString() + " - emoticon and sticker SDK tool", "vexa"};
  app.require_subcommand(1);
  app.set_version_flag("--version", vexa::VXVersionManager::versionString());
  GlobalOptions options;
  addGlobalOptions(app, options);

  int status = 0;
  for (const auto& add : allCommands()) add(app, options, status);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and version end well; anything else is a usage error.
    return app.exit(e) == 0 ? 0 : 2;
  }
  return status;
}
