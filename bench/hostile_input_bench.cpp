// Small hostile inputs, each run once in a child process of its own: wall
// time and the peak resident memory it added, plus what became of it.
// The files are made here (tests/support/HostileFiles.h). Not a Google
// Benchmark: a before/after table for docs/PERFORMANCE.md, where the
// "before" column comes from the same program run on an earlier tree.
//
//   hostile_input_bench [CASE...]     (default: every case; 120 s a case)
#include <httplib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "support/HostileFiles.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/MainQueue.h"
#include "vexa/platform/SecureItemStore.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/store/image/QLImageDecoder.h"
#include "vexa/store/zip/QLZipArchive.h"
#include "vexa/text/QLTextImageHelper.h"

namespace {

using namespace vexa;
namespace hostile = vexa::test::hostile;
using Clock = std::chrono::steady_clock;
constexpr int kTimeoutSeconds = 120;

struct Outcome {
  double seconds = 0;  // of the part that matters, as the case measures it
  std::string what;
};

long residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::string describe(const Result<std::shared_ptr<const Image>>& image) {
  if (!image.ok()) return "refused: " + image.error().description();
  char text[96];
  std::snprintf(text, sizeof text, "decoded %dx%d", (*image)->pixelWidth(), (*image)->pixelHeight());
  return text;
}

Outcome decodeOnce(const std::string& bytes) {
  auto start = Clock::now();
  auto image = QLImageDecoder::decode(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  return {std::chrono::duration<double>(Clock::now() - start).count(),
          describe(image) + " (" + std::to_string(bytes.size()) + " B file)"};
}

std::filesystem::path scratch() {
  auto dir = std::filesystem::temp_directory_path() /
             ("vexa-hostile-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

// Six 8192 x 8192 thumbnails in one archive, through the store's steps after
// a download: unpack, place, store (the thumbnail check). The time is the
// main thread's.
Outcome archiveCheck() {
  const auto dir = scratch();
  auto shared = std::make_shared<QL_SDImageCache>("default", dir / "Caches");
  QLPackageCache store(dir / "Support", shared);
  auto package = std::make_shared<QLPackage>();
  package->setGuid("H");
  package->setIsDefault(true);
  package->setIsEmoji(true);
  package->setChat_icon("http://img.test/H/icon.png");
  QLPackage::Emojis emojis;
  const auto src = dir / "src";
  std::filesystem::create_directories(src);
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(src / name, std::ios::binary) << bytes;
  };
  write("title_keyboard_icon.png", hostile::pngBlackBits(2, 2));
  const std::string thumb = hostile::pngBlackBits(8192, 8192);
  for (int i = 0; i < 6; ++i) {
    auto e = std::make_shared<QLEmoji>();
    const std::string id = "H-" + std::to_string(i);
    e->setGuid(id);
    e->setEmo_code("h" + std::to_string(i));
    e->setThumbail("http://img.test/" + id + "/thumb.png");
    e->setMain_image("http://img.test/" + id + "/main.gif");
    emojis.push_back(e);
    write("THUMB_" + id + ".png", thumb);
    write("IMAGE_" + id + ".gif", hostile::gifScreen(1, 1) + hostile::gifImageDescriptor(0, 0, 1, 1) +
                                      hostile::gifZeroRun(1) + ";");
  }
  package->setEmojis(emojis);
  QLZipArchive zip;
  zip.CreateZipFile2(dir / "H.zip");
  for (const auto& entry : std::filesystem::directory_iterator(src)) {
    zip.addFileToZip(entry.path(), entry.path().filename().string());
  }
  zip.CloseZipFile2();
  std::ifstream in(dir / "H.zip", std::ios::binary);
  const std::string archive((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  auto start = Clock::now();
  Status unpacked = store.storeZip(package, archive);
  for (const auto& e : emojis) (void)store.renameUnzipEmojiImage(*e);
  const Status stored = store.storePackage(package);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  store.waitForDiskWork();
  std::filesystem::remove_all(dir);
  return {seconds, std::string(unpacked ? "" : "unpack failed, ") + (stored ? "stored" : "refused") +
                       " (" + std::to_string(archive.size()) + " B archive)"};
}

// Rich text of `count` inline emojis from one message.
Outcome richText(int count) {
  std::vector<std::shared_ptr<VXEmoji>> known;
  for (int i = 0; i < 100; ++i) {
    auto e = std::make_shared<VXEmoji>();
    e->setEmojiCode("e" + std::to_string(i));
    known.push_back(e);
  }
  std::string message;
  for (int i = 0; i < count; ++i) message += "[e" + std::to_string(i % 100) + "]";
  QLTextEmojiSource source;
  source.fetchLocalSmallEmojisByCodes = [&](const std::vector<std::string>&,
                                            QLTextEmojiSource::LocalCompletion done) { done(known); };
  size_t length = 0;
  auto start = Clock::now();
  QLTextImageHelper::pureAttributeTextFromText(
      message, [&](AttributedString rich) { length = rich.length(); }, source);
  return {std::chrono::duration<double>(Clock::now() - start).count(),
          std::to_string(length) + " characters from " + std::to_string(message.size()) + " B"};
}

// A category request made while 16 image downloads of a package stall on
// their host; the time is the request's, from sending to its answer.
Outcome requestBehindStalledImages() {
  std::atomic<bool> stopping{false};
  httplib::Server images;
  images.Get(".*", [&](const httplib::Request&, httplib::Response& res) {
    for (int i = 0; i < 100 && !stopping; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    res.set_content("x", "image/png");
  });
  const int imagePort = images.bind_to_any_port("127.0.0.1");
  std::thread imageThread([&] { images.listen_after_bind(); });

  const std::string imageBase = "http://127.0.0.1:" + std::to_string(imagePort) + "/";
  httplib::Server api;
  api.Get("/api/v1/token", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(R"({"error_code":0,"data":{"access_token":"T"}})", "application/json");
  });
  api.Get("/api/v1/package/P/emojis", [&](const httplib::Request&, httplib::Response& res) {
    std::string list;
    for (int i = 0; i < 8; ++i) {
      if (i) list += ",";
      list += R"({"guid":"P-)" + std::to_string(i) + R"(","emo_code":"p)" + std::to_string(i) +
              R"(","thumbail":")" + imageBase + "t" + std::to_string(i) + R"(.png","main_image":")" +
              imageBase + "m" + std::to_string(i) + R"(.gif"})";
    }
    res.set_content(R"({"error_code":0,"data_list":[{"emoticions":[)" + list + "]}]}",
                    "application/json");
  });
  api.Get("/api/v1/category", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(R"({"error_code":0,"data_list":[]})", "application/json");
  });
  const int apiPort = api.bind_to_any_port("127.0.0.1");
  std::thread apiThread([&] { api.listen_after_bind(); });

  const auto dir = scratch();
  SecureItemStore keychain(dir / "keychain");
  auto shared = std::make_shared<QL_SDImageCache>("default", dir / "Caches");
  Outcome outcome;
  {
    QLPackageCache store(dir / "Support", shared);
    QLDownloadManager manager("http://127.0.0.1:" + std::to_string(apiPort) + "/api/v1", &keychain);
    manager.setAppId("app");
    manager.setAppSecret("secret");
    manager.setPackageCache(&store);
    auto package = std::make_shared<QLPackage>();
    package->setGuid("P");
    std::string downloadStatus = "running";
    manager.downloadPackage(package, [&](const Status& s) {
      downloadStatus = s ? "done" : s.error().description();
    });
    MainQueue::shared().runUntil([&] { return images.is_running() && package->emojis().size() == 8; },
                                 std::chrono::seconds(10));
    MainQueue::shared().runFor(std::chrono::milliseconds(200));  // the images are on their way
    bool answered = false;
    const size_t waiting = manager.downloadQueue().operationCount();
    auto start = Clock::now();
    manager.sendRequest(QLRequestTypeCategory, Value(), [&](const Result<QLResponse>& r) {
      answered = true;
      outcome.what = r ? "answered" : "failed: " + r.error().description();
    });
    MainQueue::shared().runUntil([&] { return answered; }, std::chrono::seconds(30));
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!answered) outcome.what = "not answered in 30 s";
    outcome.what += " (" + std::to_string(waiting) + " downloads in flight; download " + downloadStatus + ")";
    stopping = true;
    manager.operationQueue().cancelAllOperations();
    MainQueue::shared().runFor(std::chrono::milliseconds(200));
  }
  images.stop();
  api.stop();
  imageThread.join();
  apiThread.join();
  std::filesystem::remove_all(dir);
  return outcome;
}

const std::vector<std::pair<std::string, std::function<Outcome()>>>& cases() {
  static const std::vector<std::pair<std::string, std::function<Outcome()>>> all = {
      {"archive_six_8192_thumbnails", archiveCheck},
      {"png_one_pixel_2MB", [] { return decodeOnce(hostile::pngOnePixelWithTrailingData(uint64_t(2) << 30)); }},
      {"gif_20_frames_8192_on_1x1", [] { return decodeOnce(hostile::gifHugeFramesOnATinyScreen(20, 8192)); }},
      {"gif_41_bytes", [] { return decodeOnce(hostile::gifTinyClaimingHuge()); }},
      {"jpeg_8192_ending_at_marker", [] { return decodeOnce(hostile::jpegClaimingHugeEndingAtMarker()); }},
      {"rich_text_10000_emojis", [] { return richText(10000); }},
      {"rich_text_150000_emojis", [] { return richText(150000); }},
      {"request_behind_16_stalled_images", requestBehindStalledImages},
  };
  return all;
}

// Runs one case in a child; prints its line.
void run(const std::string& name, const std::function<Outcome()>& body) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  auto started = Clock::now();
  pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    MainQueue::shared().adoptCurrentThread();
    const long before = residentKiB();
    Outcome outcome = body();
    char line[512];
    std::snprintf(line, sizeof line, "%ld %.6f %s", before, outcome.seconds, outcome.what.c_str());
    (void)!write(pipeFds[1], line, std::strlen(line));
    _exit(0);
  }
  close(pipeFds[1]);
  int status = 0;
  rusage usage{};
  bool timedOut = false;
  for (;;) {
    pid_t done = wait4(child, &status, WNOHANG, &usage);
    if (done == child) break;
    if (Clock::now() - started > std::chrono::seconds(kTimeoutSeconds)) {
      kill(child, SIGKILL);
      wait4(child, &status, 0, &usage);
      timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  char buffer[512] = {};
  const ssize_t n = read(pipeFds[0], buffer, sizeof buffer - 1);
  close(pipeFds[0]);
  long before = 0;
  double seconds = 0;
  int consumed = 0;
  if (n > 0) std::sscanf(buffer, "%ld %lf %n", &before, &seconds, &consumed);
  const double peakMiB = double(usage.ru_maxrss - before) / 1024.0;
  if (timedOut) {
    std::printf("%-36s  > %d s        peak > %8.1f MiB  (stopped)\n", name.c_str(), kTimeoutSeconds, peakMiB);
  } else if (n <= 0) {
    std::printf("%-36s  crashed (status %d)\n", name.c_str(), status);
  } else {
    std::printf("%-36s  %10.3f s  peak %10.1f MiB  %s\n", name.c_str(), seconds, peakMiB, buffer + consumed);
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> wanted(argv + 1, argv + argc);
  for (const auto& [name, body] : cases()) {
    if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), name) == wanted.end()) continue;
    run(name, body);
  }
  return 0;
}
