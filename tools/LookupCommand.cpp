// vexa lookup --small|--big CODE...: emojis by code, from the device and
// then the service; a JSON array on standard output and nothing else.
#include <iostream>

#include "Commands.h"
#include "ToolSdk.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/JsonCodec.h"

namespace vexa::tool {
namespace {

struct LookupOptions {
  bool small = false;
  bool big = false;
  std::vector<std::string> codes;
};

int runLookup(const GlobalOptions& options, const LookupOptions& o) {
  if (Status configured = configureSdk(options, ServiceUse::api); !configured) return fail(configured.error());
  auto found = awaitAnswer<Result<QLDownloadManager::VXEmojis>>([&o](auto done) {
    auto& manager = QLDownloadManager::defaultManager();
    if (o.big) {
      manager.fetchBigEmojisByCodes(o.codes, done);
    } else {
      manager.fetchSmallEmojisByCodes(o.codes, done);
    }
  });
  finishSdkWork();
  if (!found) return fail("the lookup did not finish in time");
  if (!found->ok()) return fail(found->error());
  std::cout << JsonCodec::serialize(emojisJson(found->value())) << "\n";
  return 0;
}

}  // namespace

void addLookupCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto o = std::make_shared<LookupOptions>();
  auto* cmd = app.add_subcommand("lookup", "look up emojis by code (JSON)");
  auto* small = cmd->add_flag("--small", o->small, "small emojis, shown inline in text");
  auto* big = cmd->add_flag("--big", o->big, "big emojis (stickers)");
  small->excludes(big);
  cmd->add_option("CODE", o->codes, "the codes, without brackets")->required();
  cmd->callback([&options, &status, o] {
    if (!o->small && !o->big) {
      status = fail(usageError("lookup needs --small or --big"));
      return;
    }
    status = runLookup(options, *o);
  });
}

}  // namespace vexa::tool
