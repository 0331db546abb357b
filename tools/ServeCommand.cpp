// vexa serve: the reference emoticon service, until interrupted.
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>

#include "Commands.h"
#include "vexa/platform/Directories.h"
#include "service/CatalogLoader.h"
#include "service/EmoticonService.h"
#include "service/SampleCatalog.h"

namespace vexa::tool {

namespace {

struct ServeOptions {
  int port = 0;
  std::string catalog;
  std::string log = "-";
  std::string publicUrl;
  int64_t tokenUses = 0;
};

int serve(const GlobalOptions& global, const ServeOptions& o) {
  applyHome(global);
  std::filesystem::path directory = o.catalog;
  if (directory.empty()) {
    auto sample = service::SampleCatalog::ensure(Directories::caches());
    if (!sample) return fail(sample.error());
    directory = *sample;
  }
  auto catalog = service::CatalogLoader::load(directory);
  if (!catalog) return fail(catalog.error());

  std::unique_ptr<std::ofstream> file;
  if (o.log != "-") {
    file = std::make_unique<std::ofstream>(o.log, std::ios::app);
    if (!*file) return fail("cannot open the log file " + o.log);
  }

  // Block the stop signals before the server's threads start, so that they
  // inherit the mask and only sigwait() below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  service::EmoticonService::Options options;
  options.catalog = *catalog;
  options.port = o.port;
  options.publicBaseUrl = o.publicUrl;
  auto started = service::EmoticonService::start(std::move(options));
  if (!started) return fail(started.error());
  auto& svc = **started;
  if (o.tokenUses > 0) svc.tokens().setUsesBeforeExpiry(o.tokenUses);

  std::ostream& out = file ? *file : std::cout;
  svc.log().setSink([&out](const std::string& line) { out << line << '\n' << std::flush; });

  const auto& c = svc.catalog();
  size_t emojis = 0;
  for (const auto& p : c.packages()) emojis += p.emojiGuids.size();
  std::cout << "catalogue: " << directory.string() << " (" << c.packages().size() << " packages, " << emojis
            << " emojis)\n"
            << "listening: " << svc.baseUrl() << "\n"
            << "api:       " << svc.apiBase() << "\n"
            << "files:     " << svc.filesBase() << "\n"
            << "terms:     " << svc.termsUrl() << "\n"
            << "app:       --app-id " << service::EmoticonService::kDemoAppId << " --secret "
            << service::EmoticonService::kDemoAppSecret << "\n"
            << "Press Ctrl-C to stop." << std::endl;

  int signal = 0;
  sigwait(&stopSignals, &signal);
  svc.stop();
  std::cerr << "vexa: stopped\n";
  return 0;
}

}  // namespace

void addServeCommand(CLI::App& app, GlobalOptions& options, int& status) {
  auto o = std::make_shared<ServeOptions>();
  auto* cmd = app.add_subcommand("serve", "run the reference emoticon service until interrupted");
  cmd->add_option("--port", o->port, "port on 127.0.0.1 (default: a free one)")->check(CLI::Range(0, 65535));
  cmd->add_option("--catalog", o->catalog,
                  "catalogue directory (catalog.json and images; default: the generated sample)");
  cmd->add_option("--log", o->log, "file for the JSON-lines request log ('-': standard output)");
  cmd->add_option("--public-url", o->publicUrl, "base URL of answers' links (default: the listening address)");
  cmd->add_option("--token-uses", o->tokenUses, "access tokens expire after this many requests (0: never)")
      ->check(CLI::NonNegativeNumber);
  cmd->callback([&options, &status, o] { status = serve(options, *o); });
}

}  // namespace vexa::tool
