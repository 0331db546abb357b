// A writer killed at a random moment leaves every store file either in its
// old or in its new state, and the store loads. The writer is this test
// program itself, started again in a child process.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <set>

#include "StoreTestSupport.h"
#include "vexa/platform/PropertyList.h"

namespace vexa {
namespace {

constexpr const char* kDirVariable = "VEXA_STORE_CRASH_DIR";
constexpr int kPackages = 5;

// Package P<i> as written in generation `gen`: its name and every emoji's
// text carry the generation, so a torn or mixed record shows.
std::shared_ptr<QLPackage> generation(int i, int gen) {
  auto p = test::makePackage("P" + std::to_string(i), false, true, 2);
  p->setName("gen " + std::to_string(gen));
  for (const auto& e : p->emojis()) e->setEmo_text("gen " + std::to_string(gen));
  return p;
}

// The generation a record value was written in, or -1 when it is not a
// whole record of one generation.
int generationOf(const Value& record) {
  const Value* name = record.find("name");
  const Value* emojis = record.find("emoticions");
  if (!name || !name->asString() || !emojis || emojis->size() != 2) return -1;
  for (const Value& e : *emojis->asArray()) {
    const Value* text = e.find("emo_text");
    if (!text || !text->asString() || *text->asString() != *name->asString()) return -1;
  }
  return std::atoi(name->asString()->c_str() + 4);
}

// The child's part: rewrites records, lists and a temporary-emoji file
// until it is killed.
TEST(QLPackageStoreCrashTest, DISABLED_Writer) {
  const char* dir = std::getenv(kDirVariable);
  if (!dir) GTEST_SKIP() << "runs only as the child of EveryFileIsOldOrNewAfterAKill";
  auto shared = std::make_shared<QL_SDImageCache>("default", std::filesystem::path(dir) / "Caches");
  QLPackageCache store(std::filesystem::path(dir) / "ApplicationSupport", shared);
  auto extra = test::makePackage("X", false, true, 0);
  extra->setChat_icon(std::nullopt);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (int gen = 1; std::chrono::steady_clock::now() < deadline; ++gen) {
    // Every third generation goes as one batch, as the upgrade step writes.
    QLPackageCache::Packages batch;
    for (int i = 0; i < kPackages; ++i) {
      if (gen % 3 == 0) {
        batch.push_back(generation(i, gen));
      } else {
        (void)store.storeToDiskForPackage(*generation(i, gen));
      }
    }
    if (!batch.empty()) (void)store.storeToDiskForPackages(batch);
    if (gen % 2) {
      (void)store.storePackage(extra);
    } else {
      (void)store.removePackage(extra);
    }
    store.saveSmallTempEmoji(*generation(gen % kPackages, gen)->emojis()[0]);
    if (gen % 7 == 0) store.clearSmallTempEmojis();
    if (gen == 1) {
      (void)!::write(STDOUT_FILENO, "ready\n", 6);
    }
  }
  ::_exit(0);
}

TEST(QLPackageStoreCrashTest, EveryFileIsOldOrNewAfterAKill) {
  std::mt19937 random(std::random_device{}());
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    test::StoreUnderTest store;
    for (int i = 0; i < kPackages; ++i) {
      auto p = generation(i, 0);
      test::placeImages(*store, *p);
      ASSERT_TRUE(store->storePackage(p).ok());
    }
    ASSERT_EQ(store->downloadedPackages().size(), size_t(kPackages));

    // Everything the child needs is made before fork.
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string filter = "--gtest_filter=QLPackageStoreCrashTest.DISABLED_Writer";
    const std::string env = std::string(kDirVariable) + "=" + store.dir().string();
    char* argv[] = {const_cast<char*>(exe.c_str()), const_cast<char*>(filter.c_str()),
                    const_cast<char*>("--gtest_also_run_disabled_tests"), nullptr};
    char* envp[] = {const_cast<char*>(env.c_str()), nullptr};
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::execve(argv[0], argv, envp);
      ::_exit(127);
    }
    ::close(out[1]);
    std::string said;
    char buffer[256];
    while (said.find("ready\n") == std::string::npos) {
      ssize_t n = ::read(out[0], buffer, sizeof buffer);
      if (n <= 0) break;
      said.append(buffer, static_cast<size_t>(n));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 1000));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(out[0]);
    ASSERT_NE(said.find("ready\n"), std::string::npos) << "the writer never started";
    ASSERT_TRUE(WIFSIGNALED(status));

    int newest = 0;
    for (const auto& entry : std::filesystem::directory_iterator(store.root())) {
      const std::string name = entry.path().filename().string();
      if (name.find(".tmp.") != std::string::npos) continue;  // a write the kill cut short
      if (name == ".lock") continue;
      SCOPED_TRACE(name);
      auto value = PropertyList::readFile(entry.path());
      ASSERT_TRUE(value.ok()) << value.error().description();
      if (name == "packages.plist") {
        auto guids = test::guidsInList(entry.path());
        EXPECT_EQ(guids.size(), std::set<std::string>(guids.begin(), guids.end()).size());
        EXPECT_GE(guids.size(), size_t(kPackages));
      } else if (name == "defaultpackages.plist" || name == "smalltempemojis.plist") {
        EXPECT_TRUE(value->isArray());
      } else if (name != "X") {
        int gen = generationOf(*value);
        EXPECT_GE(gen, 0);
        newest = std::max(newest, gen);
      }
    }
    EXPECT_GT(newest, 0) << "the kill came before any rewrite";

    store.reopen();
    ASSERT_GE(store->downloadedPackages().size(), size_t(kPackages));
    for (const auto& p : store->downloadedPackages()) {
      EXPECT_GE(generationOf(p->keyValues()), p->guid() == "X" ? -1 : 0) << p->guid();
    }
  }
}

}  // namespace
}  // namespace vexa
