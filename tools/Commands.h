// The tool's commands. Each adds its subcommand to the app; the callback it
// installs runs the command and stores the exit status.
#pragma once

#include <functional>
#include <vector>

#include <CLI/CLI.hpp>

#include "ToolContext.h"

namespace vexa::tool {

using AddCommand = std::function<void(CLI::App& app, GlobalOptions& options, int& status)>;

void addDemoCommand(CLI::App& app, GlobalOptions& options, int& status);
void addServeCommand(CLI::App& app, GlobalOptions& options, int& status);
void addParseCommand(CLI::App& app, GlobalOptions& options, int& status);
void addRenderCommand(CLI::App& app, GlobalOptions& options, int& status);
void addInstallDefaultsCommand(CLI::App& app, GlobalOptions& options, int& status);
void addPackagesCommand(CLI::App& app, GlobalOptions& options, int& status);
void addInstallCommand(CLI::App& app, GlobalOptions& options, int& status);
void addRemoveCommand(CLI::App& app, GlobalOptions& options, int& status);
void addLookupCommand(CLI::App& app, GlobalOptions& options, int& status);
void addUiCommand(CLI::App& app, GlobalOptions& options, int& status);
void addCatalogCommand(CLI::App& app, GlobalOptions& options, int& status);

inline std::vector<AddCommand> allCommands() {
  return {addDemoCommand,    addServeCommand,  addCatalogCommand, addInstallDefaultsCommand,
          addInstallCommand, addRemoveCommand, addPackagesCommand, addParseCommand,
          addLookupCommand,  addRenderCommand, addUiCommand};
}

}  // namespace vexa::tool
