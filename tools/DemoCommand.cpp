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
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "api/QLDownloadManager.h"
#include "core/VXEmotionCentre.h"
#include "core/VXVersionManager.h"
#include "platform/Directories.h"
#include "service/EmoticonService.h"
#include "service/SampleCatalog.h"

namespace vexa::tool {
namespace {

constexpr const char* kDemoUserId = "vexa-demo-user";

// What the steps share.
struct DemoSession {
  const GlobalOptions& options;
  std::ostream& out;
  std::unique_ptr<service::EmoticonService> service;  // the embedded one, if any
  std::string apiBase;
  std::string filesBase;
};

struct DemoStep {
  const char* title;
  std::function<Status(DemoSession&)> run;
};

Status startService(DemoSession& s) {
  if (!s.options.apiBase.empty()) {
    s.apiBase = s.options.apiBase;
    s.filesBase = s.options.filesBase;
    s.out << "  using the service at " << s.apiBase << "\n";
    return Status::Ok();
  }
  auto catalog = service::SampleCatalog::load(Directories::caches());
  if (!catalog) return catalog.error();
  auto started = service::EmoticonService::start({.catalog = *catalog});
  if (!started) return started.error();
  s.service = std::move(*started);
  s.apiBase = s.service->apiBase();
  s.filesBase = s.service->filesBase();
  s.out << "  the reference service listens on " << s.service->baseUrl() << " with "
        << s.service->catalog().packages().size() << " sample packages\n";
  return Status::Ok();
}

Status configureSdk(DemoSession& s) {
  auto& manager = QLDownloadManager::defaultManager();
  if (auto configured = manager.configure(s.apiBase); !configured) return configured;
  manager.setFilesBaseURL(s.filesBase);
  bool embedded = s.service != nullptr;
  std::string appId = embedded && s.options.appId.empty() ? service::EmoticonService::kDemoAppId : s.options.appId;
  std::string secret =
      embedded && s.options.secret.empty() ? service::EmoticonService::kDemoAppSecret : s.options.secret;
  std::string userId = s.options.userId.empty() ? kDemoUserId : s.options.userId;
  auto& centre = VXEmotionCentre::defaultCentre();
  centre.setAppId(appId, secret);
  centre.setUserId(userId);
  s.out << "  API " << s.apiBase << ", files " << (s.filesBase.empty() ? "(none)" : s.filesBase) << "\n"
        << "  app id " << (appId.empty() ? "(none)" : appId) << ", user " << userId << ", device "
        << manager.ql_uniqueIdentifier() << "\n";
  return Status::Ok();
}

Status obtainToken(DemoSession& s) {
  std::optional<Status> outcome;
  QLDownloadManager::defaultManager().fetchAccessTokenWithRefresh(
      false, [&outcome](const Status& status) { outcome = status; });
  if (!waitFor([&] { return outcome.has_value(); }, std::chrono::seconds(30)))
    return Error(kQLErrorDomain, -1, "no answer to the token request");
  if (!*outcome) return *outcome;
  const std::string& token = QLDownloadManager::defaultManager().accessToken();
  if (token.empty()) return Error(kQLErrorDomain, -1, "the service granted an empty token");
  s.out << "  granted " << token.substr(0, 8) << "... (" << token.size() << " characters)\n";
  return Status::Ok();
}

Status listShopCategories(DemoSession& s) {
  std::optional<Result<QLResponse>> answer;
  QLDownloadManager::defaultManager().sendRequest(
      QLRequestTypeCategory, Value(), [&answer](const Result<QLResponse>& r) { answer = r; });
  if (!waitFor([&] { return answer.has_value(); }, std::chrono::seconds(30)))
    return Error(kQLErrorDomain, -1, "no answer to the category request");
  if (!answer->ok()) return answer->error();
  const QLCategories* categories = answer->value().categories();
  if (!categories) return Error(kQLErrorDomain, -1, "the category answer holds no categories");
  for (const auto& category : *categories) {
    s.out << "  " << category->name() << " (" << category->packages().size() << " packages):";
    const char* separator = " ";
    for (const auto& package : category->packages()) {
      s.out << separator << package->name();
      separator = ", ";
    }
    s.out << "\n";
  }
  return Status::Ok();
}

// The demo's road; later parts of the SDK add their steps here.
std::vector<DemoStep> demoSteps() {
  return {
      {"start the emoticon service", startService},
      {"configure the SDK", configureSdk},
      {"obtain an access token", obtainToken},
      {"list the shop's categories", listShopCategories},
  };
}

int runDemo(const GlobalOptions& options) {
  applyHome(options);
  DemoSession session{options, std::cout, nullptr, {}, {}};
  std::cout << VXVersionManager::versionString() << " demo\n";
  auto steps = demoSteps();
  for (size_t i = 0; i < steps.size(); ++i) {
    std::cout << "[" << i + 1 << "/" << steps.size() << "] " << steps[i].title << "\n" << std::flush;
    if (Status status = steps[i].run(session); !status) return fail(status.error());
  }
  std::cout << "done\n";
  return 0;
}

}  // namespace

void addDemoCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto* cmd = app.add_subcommand("demo", "walk one emoji from configuration to a parsed message");
  cmd->callback([&options, &status] { status = runDemo(options); });
}

}  // namespace vexa::tool
