// vexa demo: the road of one emoji, end to end.
//
// Without --api the demo starts the reference emoticon service in-process on
// a free loopback port (the embedded default) and uses its demo application;
// with --api it talks to the given service with --app-id and --secret. The
// demo is a list of steps run in order; each prints what it does and the
// first failure ends the demo with its error.
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "ToolSdk.h"
#include "ProgressBar.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/core/VXEmotionCentre.h"
#include "vexa/core/VXVersionManager.h"
#include "vexa/platform/Directories.h"
#include "service/EmoticonService.h"
#include "service/SampleCatalog.h"
#include "vexa/store/QLPackageCache.h"

namespace vexa::tool {
namespace {

constexpr const char* kDemoUserId = "vexa-demo-user";

// What the steps share.
struct DemoSession {
  const GlobalOptions& options;
  std::ostream& out;
  std::unique_ptr<service::EmoticonService> service;  // the embedded one, if any
  GlobalOptions configured;                           // the options that reach the service
  std::string apiBase;
  std::string filesBase;
  std::vector<std::shared_ptr<QLPackage>> shopPackages;  // in category order, each once
  std::shared_ptr<QLPackage> installed;                  // the shop package installed
};

struct DemoStep {
  const char* title;
  std::function<Status(DemoSession&)> run;
};

Status startService(DemoSession& s) {
  auto connection = connectService(s.options, kDemoUserId);
  if (!connection) return connection.error();
  s.service = std::move(connection->embedded);
  s.configured = connection->options;
  s.apiBase = s.configured.apiBase;
  s.filesBase = s.configured.filesBase;
  if (!s.service) {
    s.out << "  using the service at " << s.apiBase << "\n";
    return Status::Ok();
  }
  s.out << "  the reference service listens on " << s.service->baseUrl() << " with "
        << s.service->catalog().packages().size() << " sample packages\n";
  return Status::Ok();
}

Status configureStep(DemoSession& s) {
  const GlobalOptions& o = s.configured;
  if (Status configured = configureSdk(o); !configured) return configured;
  s.out << "  API " << s.apiBase << ", files " << (s.filesBase.empty() ? "(none)" : s.filesBase) << "\n"
        << "  app id " << (o.appId.empty() ? "(none)" : o.appId) << ", user " << o.userId << ", device "
        << QLDownloadManager::defaultManager().ql_uniqueIdentifier() << "\n";
  return Status::Ok();
}

Status obtainToken(DemoSession& s) {
  auto outcome = awaitAnswer<Status>(
      [](auto done) { QLDownloadManager::defaultManager().fetchAccessTokenWithRefresh(false, done); },
      std::chrono::seconds(30));
  if (!outcome) return Error(kQLErrorDomain, -1, "no answer to the token request");
  if (!*outcome) return *outcome;
  const std::string& token = QLDownloadManager::defaultManager().accessToken();
  if (token.empty()) return Error(kQLErrorDomain, -1, "the service granted an empty token");
  s.out << "  granted " << token.substr(0, 8) << "... (" << token.size() << " characters)\n";
  return Status::Ok();
}

Status listShopCategories(DemoSession& s) {
  auto categories = fetchCategories();
  if (!categories) return categories.error();
  for (const auto& category : *categories) {
    s.out << "  " << category->name() << " (" << category->packages().size() << " packages):";
    const char* separator = " ";
    for (const auto& package : category->packages()) {
      s.out << separator << package->name();
      separator = ", ";
      bool known = false;
      for (const auto& p : s.shopPackages) known = known || p->isEqual(*package);
      if (!known) s.shopPackages.push_back(package);
    }
    s.out << "\n";
  }
  return Status::Ok();
}

// As the keyboard does when it first appears and finds no default packages.
Status installDefaults(DemoSession& s) {
  auto installed = installDefaultPackages([&s](const QLPackage& package) {
    s.out << "  stored " << package.name() << " (" << package.emojis().size() << " small emojis)\n"
          << std::flush;
  });
  if (!installed) return installed.error();
  if (*installed == 0) {
    s.out << "  already in the store: " << QLPackageCache::defaultCache().defaultPackages().size()
          << " default packages\n";
  }
  return Status::Ok();
}

Status listStore(DemoSession& s) {
  auto packages = QLPackageCache::defaultCache().allPackages();
  if (packages.empty()) s.out << "  (empty)\n";
  for (const auto& package : packages) {
    s.out << "  " << (package->isDefault() ? "default " : "download") << "  " << package->name()
          << " (" << package->guid() << "): " << package->emojis().size()
          << (package->isEmoji() ? " small emojis" : " stickers") << "\n";
  }
  return Status::Ok();
}

// The first sticker package of the shop that the store does not hold yet.
Status installShopPackage(DemoSession& s) {
  auto& store = QLPackageCache::defaultCache();
  for (const auto& package : s.shopPackages) {
    if (package->isEmoji()) continue;
    if (store.isDownloadedForPackage(*package)) continue;
    ProgressBar bar(s.out, "  " + package->name(), false);
    Subscription progress = package->observeProgress([&bar](const double& p) { bar.update(p); });
    auto done = awaitAnswer<Status>(
        [&package](auto completion) {
          QLDownloadManager::defaultManager().downloadPackage(package, completion);
        },
        std::chrono::minutes(2));
    progress.reset();
    if (!done) return Error(kQLErrorDomain, -1, "the package did not arrive in time");
    if (!*done) return *done;
    s.installed = package;
    s.out << "  installed " << package->name() << " with " << package->emojis().size()
          << " stickers\n";
    return Status::Ok();
  }
  s.out << "  every sticker package of the shop is in the store already\n";
  return Status::Ok();
}

// A sticker of a package the device does not hold: the lookup asks the
// service and keeps the answer as a temporary emoji.
Status lookUpSticker(DemoSession& s) {
  auto& store = QLPackageCache::defaultCache();
  std::string code;
  for (const auto& package : s.shopPackages) {
    if (package->isEmoji() || package == s.installed || code.size()) continue;
    if (store.isDownloadedForPackage(*package)) continue;
    auto emojis = awaitAnswer<Result<QLResponse>>(
        [&package](auto done) {
          QLDownloadManager::defaultManager().sendRequest(
              QLRequestTypePackageEmojis, Value::dict({{kHTTPPathParamKey, package->guid()}}), done);
        },
        std::chrono::seconds(30));
    if (!emojis) return Error(kQLErrorDomain, -1, "no answer to the emoji list request");
    if (!emojis->ok()) return emojis->error();
    if (const auto* list = emojis->value().emojis(); list && !list->empty()) {
      code = list->front()->emo_code();
    }
  }
  if (code.empty() && s.installed && !s.installed->emojis().empty()) {
    code = s.installed->emojis().front()->emo_code();
  }
  if (code.empty()) {
    s.out << "  no sticker to look up\n";
    return Status::Ok();
  }
  for (const char* when : {"first", "again"}) {
    // Shared, not on this frame: the answer may come after the wait gave up.
    auto started = std::make_shared<bool>(false);
    auto answeredAtOnce = std::make_shared<bool>(false);
    auto found = awaitAnswer<Result<QLDownloadManager::VXEmojis>>(
        [&code, started, answeredAtOnce](auto done) {
          QLDownloadManager::defaultManager().fetchBigEmojisByCodes(
              {code}, [done, started, answeredAtOnce](const Result<QLDownloadManager::VXEmojis>& r) {
                *answeredAtOnce = !*started;
                done(r);
              });
          *started = true;
        },
        std::chrono::minutes(1));
    if (!found) return Error(kQLErrorDomain, -1, "the lookup did not finish in time");
    if (!found->ok()) return found->error();
    if (found->value().empty()) {
      s.out << "  [" << code << "]: unknown\n";
      return Status::Ok();
    }
    const auto& emoji = found->value().front();
    s.out << "  [" << code << "] " << when << ": " << emoji->emojiName() << " of " << emoji->packageId()
          << (emoji->emojiImage() ? ", with its image" : ", without image")
          << (*answeredAtOnce ? ", answered from the device\n" : ", answered by the service\n");
  }
  return Status::Ok();
}

Status showReports(DemoSession& s) {
  waitForReports();
  if (!s.service) {
    s.out << "  the reports went to " << s.apiBase << "; only the embedded service shows them here\n";
    return Status::Ok();
  }
  auto reports = s.service->reports().reports();
  if (reports.empty()) s.out << "  (none)\n";
  for (const auto& report : reports) {
    auto text = [&report](const char* key) {
      const Value* v = report.find(key);
      return v && v->isString() ? *v->asString() : std::string();
    };
    s.out << "  " << text("kind") << " " << text("action") << " " << text("package_id");
    if (!text("emoji_id").empty()) s.out << " " << text("emoji_id");
    s.out << " (user " << text("app_uid") << ")\n";
  }
  return Status::Ok();
}

// The demo's road; later parts of the SDK add their steps here.
std::vector<DemoStep> demoSteps() {
  return {
      {"start the emoticon service", startService},
      {"configure the SDK", configureStep},
      {"obtain an access token", obtainToken},
      {"list the shop's categories", listShopCategories},
      {"install the default packages", installDefaults},
      {"list the store", listStore},
      {"install a sticker package from the shop", installShopPackage},
      {"look up a sticker by code", lookUpSticker},
      {"show what was reported to the service", showReports},
  };
}

int runDemo(const GlobalOptions& options) {
  applyHome(options);
  DemoSession session{options, std::cout, nullptr, {}, {}, {}, {}, nullptr};
  std::cout << VXVersionManager::versionString() << " demo\n";
  auto steps = demoSteps();
  Status status = Status::Ok();
  for (size_t i = 0; i < steps.size() && status; ++i) {
    std::cout << "[" << i + 1 << "/" << steps.size() << "] " << steps[i].title << "\n" << std::flush;
    status = steps[i].run(session);
  }
  if (!status) {
    // Not finishSdkWork(): running the main queue now could hand a late
    // answer to a step that has already returned.
    waitForStoreDiskWork();
    return fail(status.error());
  }
  finishSdkWork();
  std::cout << "done\n";
  return 0;
}

}  // namespace

void addDemoCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("demo", "walk one emoji from configuration to a parsed message");
  cmd->callback([&options, &status] { status = runDemo(options); });
}

}  // namespace vexa::tool
