#include "ServiceFixture.h"

#include "service/CatalogLoader.h"
#include "service/SampleCatalog.h"

namespace vexa::test {

const std::filesystem::path& SampleCatalogOnce::directory() {
  // CTest runs every test in a process of its own; a cache in the build tree
  // lets them share one generated catalogue (ensure() is safe across
  // processes, and the determinism test compares it with a fresh one).
  static const std::filesystem::path dir = [] {
    auto made = service::SampleCatalog::ensure(VEXA_SAMPLE_CACHE_DIR);
    if (!made) {
      ADD_FAILURE() << made.error().toString();
      return std::filesystem::path();
    }
    return *made;
  }();
  return dir;
}

std::shared_ptr<const service::Catalog> SampleCatalogOnce::catalog() {
  static const auto catalog = [] {
    auto loaded = service::CatalogLoader::load(directory());
    if (!loaded) ADD_FAILURE() << loaded.error().toString();
    return loaded ? *loaded : nullptr;
  }();
  return catalog;
}

void ServiceTest::SetUp() {
  auto catalog = SampleCatalogOnce::catalog();
  ASSERT_TRUE(catalog);
  auto started = service::EmoticonService::start({.catalog = catalog});
  ASSERT_TRUE(started.ok()) << started.error().toString();
  service = std::move(*started);
  client = std::make_unique<SignedClient>(*service);
}

void ServiceTest::TearDown() {
  if (service) service->stop();
}

std::vector<std::string> ToolServiceTest::globals() const {
  return {"--api", service->apiBase(), "--files", service->filesBase(), "--app-id",
          service::EmoticonService::kDemoAppId, "--secret", service::EmoticonService::kDemoAppSecret};
}

std::vector<std::string> ToolServiceTest::tool(std::vector<std::string> command) const {
  std::vector<std::string> argv{VEXA_TOOL_PATH, "--home", home_.path().string()};
  for (const auto& g : globals()) argv.push_back(g);
  argv.insert(argv.end(), command.begin(), command.end());
  return argv;
}

const Value& ToolServiceTest::tree(const ScriptRun& result, size_t skip) {
  const Value* t = result.first("tree", skip);
  static const Value none;
  EXPECT_TRUE(t) << "no tree printed";
  return t ? *t : none;
}

}  // namespace vexa::test
