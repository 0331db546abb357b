// The store's code indexes answer what a scan of its live lists answers,
// after any sequence of changes: stores, removals, clears, another
// process's changes seen at the next one, emojis set and codes changed.
#include <gtest/gtest.h>

#include <random>

#include "StoreTestSupport.h"
#include "vexa/store/QLCodeIndex.h"

namespace vexa {
namespace {

using test::makePackage;
using test::placeImages;

// Few codes, so that many emojis share one and order decides.
constexpr int kCodes = 6;

std::string code(std::mt19937& rng) { return "c" + std::to_string(rng() % kCodes); }

class CodeIndexProperty {
 public:
  explicit CodeIndexProperty(uint32_t seed) : rng_(seed) {}

  void run(int steps) {
    for (int step = 0; step < steps; ++step) {
      const unsigned op = rng_() % 9;
      change(op);
      SCOPED_TRACE("seed step " + std::to_string(step) + " op " + std::to_string(op));
      expectIndexMatchesScan();
      if (::testing::Test::HasFailure()) return;
    }
  }

 private:
  std::shared_ptr<QLPackage> fresh(bool isDefault) {
    auto package = makePackage("p" + std::to_string(next_++), isDefault, rng_() % 2 == 0,
                               static_cast<int>(rng_() % 4));
    for (const auto& emoji : package->emojis()) emoji->setEmo_code(code(rng_));
    return package;
  }

  std::shared_ptr<QLPackage> anyStored() {
    auto all = store_->allPackages();
    return all.empty() ? nullptr : all[rng_() % all.size()];
  }

  void store(QLPackageCache& into, bool isDefault) {
    auto package = fresh(isDefault);
    placeImages(into, *package);
    EXPECT_TRUE(into.storePackage(package).ok());
  }

  void change(unsigned op) {
    switch (op) {
      case 0: store(*store_, false); break;
      case 1: store(*store_, true); break;
      case 2:
        if (auto package = anyStored(); package && !package->isDefault()) {
          (void)store_->removePackage(package);
        }
        break;
      case 3: store_->clear(); break;
      case 4: store_->clearDefaultPackages(); break;
      case 5:
        // Another process stores; this one rereads its list at its next change.
        if (!other_) other_ = std::make_unique<QLPackageCache>(store_.base(), store_.shared());
        store(*other_, false);
        break;
      case 6:
        if (auto package = anyStored()) {
          auto emojis = package->emojis();
          std::shuffle(emojis.begin(), emojis.end(), rng_);
          if (!emojis.empty() && rng_() % 2) emojis.pop_back();
          package->setEmojis(std::move(emojis));
        }
        break;
      case 7:
        if (auto package = anyStored(); package && !package->emojis().empty()) {
          package->emojis()[rng_() % package->emojis().size()]->setEmo_code(code(rng_));
        }
        break;
      default:
        if (auto package = anyStored(); package && !package->emojis().empty()) {
          Value kv = package->emojis().front()->keyValues();
          kv["emo_code"] = Value(code(rng_));
          package->emojis().front()->updateWithKeyValues(kv);
        }
        break;
    }
  }

  void expectIndexMatchesScan() {
    for (int c = 0; c <= kCodes; ++c) {
      const std::string wanted = "c" + std::to_string(c);  // c6 is no one's
      const auto& defaults = store_->defaultPackages();
      const auto& downloaded = store_->downloadedPackages();
      EXPECT_EQ(store_->emojiWithCode(wanted), QLCodeIndex::scan(wanted, {&defaults, &downloaded}))
          << wanted;
      const auto& small = store_->smallPackages();
      EXPECT_EQ(store_->smallEmojiWithCode(wanted), QLCodeIndex::scan(wanted, {&small})) << wanted;
      const auto& big = store_->bigPackages();
      EXPECT_EQ(store_->bigEmojiWithCode(wanted), QLCodeIndex::scan(wanted, {&big})) << wanted;
    }
  }

  std::mt19937 rng_;
  int next_ = 0;
  test::StoreUnderTest store_;
  std::unique_ptr<QLPackageCache> other_;
};

TEST(QLCodeIndexTest, AnswersWhatTheScanAnswersAfterRandomChanges) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    CodeIndexProperty(seed).run(60);
  }
}

}  // namespace
}  // namespace vexa
