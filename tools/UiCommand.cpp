// vexa ui: the host chat scene and its script. The scene, the script's
// parser and interpreter and the JSON output live in tools/ui/.
#include <charconv>
#include <iostream>
#include <iterator>
#include <memory>

#include "Commands.h"
#include "ToolSdk.h"
#include "vexa/platform/FileSystem.h"
#include "ui/HostScene.h"
#include "ui/JsonWriter.h"
#include "ui/ScreenSteps.h"
#include "ui/ScriptParser.h"
#include "ui/StepInterpreter.h"
#include "ui/TouchDriver.h"

#ifdef VEXA_HAVE_GTK_WINDOW
#include "GtkSceneWindow.h"
#endif

namespace vexa::tool {
namespace {

constexpr double kMaxSide = 4096;

struct UiArgs {
  std::string size = "375x667";
  double scale = 2;
  bool noMixed = false;
  std::string script;
  bool window = false;
};

// "WxH" in points, each side above 0 and at most kMaxSide; none otherwise.
std::optional<Size> parseSize(const std::string& text) {
  size_t x = text.find('x');
  if (x == std::string::npos) return std::nullopt;
  double side[2];
  const char* begin[2] = {text.data(), text.data() + x + 1};
  const char* end[2] = {text.data() + x, text.data() + text.size()};
  for (int i = 0; i < 2; ++i) {
    auto [ptr, ec] = std::from_chars(begin[i], end[i], side[i]);
    if (ec != std::errc() || ptr != end[i] || !(side[i] > 0 && side[i] <= kMaxSide)) return std::nullopt;
  }
  return Size{side[0], side[1]};
}

// Whether a window can be shown, asked before anything runs.
Status windowReady() {
#ifdef VEXA_HAVE_GTK_WINDOW
  return gtk::GtkSceneWindow::initialize();
#else
  return Error(kQLErrorDomain, -1, "--window is not available in this build (it was built without GTK 4 or with sanitizers)");
#endif
}

// Shows the scene until the user closes the window.
void showWindow([[maybe_unused]] ui::HostScene& scene) {
#ifdef VEXA_HAVE_GTK_WINDOW
  auto window = std::static_pointer_cast<Window>(scene.window().shared_from_this());
  gtk::GtkSceneWindow(window, "Vexa").run();
#endif
}

Result<std::string> readScript(const std::string& path) {
  if (path == "-") return std::string(std::istreambuf_iterator<char>(std::cin), {});
  return FileSystem::readFile(path);
}

int runUi(const GlobalOptions& options, const UiArgs& args) {
  // Whether the steps make sense is known before anything starts.
  std::vector<ui::ScriptStep> steps;
  if (!args.script.empty()) {
    auto text = readScript(args.script);
    if (!text) return fail("cannot read the script " + args.script + ": " + text.error().description());
    auto parsed = ui::ScriptParser::parseScript(*text);
    if (!parsed) return fail(parsed.error().description());
    steps = std::move(*parsed);
  }
  if (args.window) {
    if (Status ready = windowReady(); !ready.ok()) return fail(ready.error().description());
  }

  ui::JsonWriter out(std::cout);
  ui::HostScene::Options sceneOptions{*parseSize(args.size), args.scale, !args.noMixed};
  auto scene = ui::HostScene::open(options, sceneOptions, [&out](const std::string& name, const Value& fields) {
    out.event(name, fields);
  });
  if (!scene) return fail(scene.error());

  int status = 0;
  {
    ui::StepInterpreter interpreter(**scene, out, ui::ScreenSteps::standard());
    Status ran = interpreter.run(steps);
    interpreter.finish();
    if (!ran) {
      status = fail(ran.error().description());
    } else if (args.window) {
      showWindow(**scene);
      // Whoever drove the window reads what the user left in the input.
      ui::TouchDriver::runReadyWork();
      interpreter.printInput();
    }
  }
  // What the user did is reported before the service goes away.
  finishSdkWork();
  scene->reset();
  return status;
}

}  // namespace

void addUiCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto args = std::make_shared<UiArgs>();
  auto* cmd = app.add_subcommand("ui", "the host chat scene, driven by a script of touches, typing and waits");
  cmd->add_option("--size", args->size, "window size in points, WxH (default 375x667)")
      ->check([](const std::string& text) {
        return parseSize(text) ? std::string() : "expected WxH with sides from 1 to 4096";
      });
  cmd->add_option("--scale", args->scale, "pixels per point (default 2)")->check(CLI::Range(1.0, 4.0));
  cmd->add_flag("--no-mixed", args->noMixed, "small emojis go to the host instead of into the input");
  cmd->add_option("--script", args->script, "the script to run, - for standard input");
  cmd->add_flag("--window", args->window, "show the scene in a desktop window after the script");
  cmd->callback([&options, &status, args] { status = runUi(options, *args); });
}

}  // namespace vexa::tool
