// Cost of assembling one signed request (common parameters, signature,
// query string; then the whole request with its URL), as a multiple of
// OpenSSL's raw MD5 of the same signed text, measured in the same run.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdlib>
#include <filesystem>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/http/QLQueryString.h"
#include "vexa/platform/Screen.h"
#include "support/RatioReporter.h"

namespace {

using namespace vexa;

std::filesystem::path scratchDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vexa-bench-XXXXXX").string();
  // No fallback to the shared directory, which the fixture would remove.
  if (!::mkdtemp(pattern.data())) std::abort();
  return pattern;
}

struct Fixture {
  std::filesystem::path dir = scratchDirectory();
  SecureItemStore store{dir / "keychain"};
  QLDownloadManager manager{"http://127.0.0.1:8080/api/v1", &store};
  Value core = Value::dict({{kHTTPPathParamKey, "package/1c9e4a52-77b1-4d1e-9f0a-5d2b8f3c6a10/emojis"}});
  Fixture() {
    manager.setUserId("user-20240611");
    manager.setAccessToken("3f2a9c7e1b5d4f60a8e2c9b7d1f3a5c7");
    (void)manager.ql_uniqueIdentifier();
  }
  ~Fixture() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  // The text a signature covers, for the baseline.
  std::string signedText() {
    Value final = manager.generateFinalParamsWithCoreParams(core, QLRequestTypePackageEmojis);
    std::string pairs;
    for (const auto& [k, v] : *final.asDictionary()) {
      if (k == "signature") continue;
      pairs += (pairs.empty() ? "" : "&") + k + "=" + v.description();
    }
    return "http://127.0.0.1:8080/api/v1/" + *core.find(kHTTPPathParamKey)->asString() + pairs;
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_RawMd5OfSignedText(benchmark::State& state) {
  std::string text = fixture().signedText();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  for (auto _ : state) {
    EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
    benchmark::DoNotOptimize(digest);
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_RawMd5OfSignedText);

void BM_ParametersSignatureQuery(benchmark::State& state) {
  auto& f = fixture();
  for (auto _ : state) {
    Value final = f.manager.generateFinalParamsWithCoreParams(f.core, QLRequestTypePackageEmojis);
    std::string query = QLQueryString::fromParameters(final);
    benchmark::DoNotOptimize(query);
  }
}
BENCHMARK(BM_ParametersSignatureQuery);

void BM_WholeRequest(benchmark::State& state) {
  auto& f = fixture();
  for (auto _ : state) {
    Value final = f.manager.generateFinalParamsWithCoreParams(f.core, QLRequestTypePackageEmojis);
    auto url = f.manager.absoluteURLString(*f.core.find(kHTTPPathParamKey)->asString());
    auto request = f.manager.requestSerializer()->requestWithMethod("GET", *url, final);
    benchmark::DoNotOptimize(request);
  }
}
BENCHMARK(BM_WholeRequest);

}  // namespace

int main(int argc, char** argv) {
  return vexa::bench::runWithRatios(argc, argv, "BM_RawMd5OfSignedText");
}
