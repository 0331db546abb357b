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

namespace {

using namespace vexa::tool;

constexpr const char* kExitStatuses =
    "Exit status: 0 on success; 2 for a usage error (an unknown command, a missing or malformed\n"
    "option); 1 for any other failure, told in one line on standard error.";

CLI::App* findCommand(CLI::App& app, const std::string& name) {
  auto found = app.get_subcommands([&name](CLI::App* command) { return command->get_name() == name; });
  return found.empty() ? nullptr : found.front();
}

// `vexa help [COMMAND]`: the same text as --help.
void addHelpCommand(CLI::App& app, int& status) {
  auto* cmd = app.add_subcommand("help", "show the commands, or one command's options");
  auto topic = std::make_shared<std::string>();
  cmd->add_option("COMMAND", *topic, "the command to explain");
  cmd->callback([&app, &status, topic] {
    CLI::App* command = topic->empty() ? &app : findCommand(app, *topic);
    if (!command) {
      status = fail(usageError("unknown command \"" + *topic + "\"; vexa help lists the commands"));
      return;
    }
    // Not help(): on the app it would explain the command parsed, "help".
    const std::string name = command == &app ? "vexa" : "vexa " + command->get_name();
    std::cout << app.get_formatter()->make_help(command, name, CLI::AppFormatMode::Normal);
  });
}

int usageFailure(CLI::App& app, const CLI::ParseError& e) {
  const auto given = app.get_subcommands();
  const std::string command = given.empty() ? "" : given.back()->get_name();
  const std::string help = command.empty() ? "vexa help" : "vexa help " + command;
  const std::vector<std::string> extras = app.remaining(true);
  if (dynamic_cast<const CLI::ExtrasError*>(&e) && !extras.empty()) {
    const std::string& word = extras.front();
    if (word.starts_with("-")) {
      // One before the command is a global option: the tool's own help lists those.
      const bool global = !app.remaining(false).empty();
      std::cerr << "vexa: unknown option \"" << word << "\"; " << (global ? "vexa help" : help)
                << " lists the options\n";
    } else if (command.empty()) {
      std::cerr << "vexa: unknown command \"" << word << "\"; vexa help lists the commands\n";
    } else {
      std::cerr << "vexa: unexpected argument \"" << word << "\"; " << help << " tells the usage\n";
    }
    return kExitUsage;
  }
  std::cerr << "vexa: " << e.what() << "; " << help << " tells the usage\n";
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{vexa::VXVersionManager::versionString() + " - emoticon and sticker SDK tool", "vexa"};
  // One command a run; a command's words after it are its own ("help parse").
  app.require_subcommand(0, 1);
  app.set_version_flag("--version", vexa::VXVersionManager::versionString());
  app.footer(kExitStatuses);
  GlobalOptions options;
  addGlobalOptions(app, options);

  int status = 0;
  for (const auto& add : allCommands()) add(app, options, status);
  addHelpCommand(app, status);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(e);
    return usageFailure(app, e);
  }
  if (app.get_subcommands().empty()) {
    std::cerr << "vexa: no command given; vexa help lists the commands\n";
    return kExitUsage;
  }
  return status;
}
