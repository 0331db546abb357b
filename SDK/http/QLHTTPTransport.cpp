#include "vexa/http/QLHTTPTransport.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <variant>

#include "vexa/http/QLCurlTransfer.h"
#include "vexa/http/QLHTTPError.h"

namespace vexa {
namespace {

void initialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The longest the engine sleeps, so that stalls are noticed promptly.
constexpr std::chrono::milliseconds kMaxPoll(200);

Error cancelledError() { return qlURLError(kQLURLErrorCancelled, "cancelled"); }

}  // namespace

struct QLHTTPTransport::Engine {
  struct StartCommand {
    std::unique_ptr<QLCurlTransfer> transfer;
  };
  struct CancelCommand {
    TransferId id;
  };
  using Command = std::variant<StartCommand, CancelCommand>;

  Engine() {
    initialiseCurlOnce();
    multi = curl_multi_init();
  }
  ~Engine() {
    if (multi) curl_multi_cleanup(multi);
  }

  void post(Command command) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      commands.push_back(std::move(command));
    }
    curl_multi_wakeup(multi);
  }

  void stop() {
    stopping = true;
    curl_multi_wakeup(multi);
  }

  void run();
  void runCommands();
  void add(std::unique_ptr<QLCurlTransfer> transfer);
  void remove(TransferId id, Error error);
  void collectFinished();
  void expireStalled();
  std::chrono::milliseconds pollTimeout() const;
  void shutDown();

  CURLM* multi = nullptr;
  std::atomic<bool> stopping{false};
  std::atomic<TransferId> nextId{1};
  std::atomic<size_t> active{0};
  std::mutex mutex;
  std::deque<Command> commands;  // GUARDED_BY(mutex)
  // Engine thread only.
  std::map<TransferId, std::unique_ptr<QLCurlTransfer>> transfers;
};

void QLHTTPTransport::Engine::run() {
  while (!stopping) {
    runCommands();
    int running = 0;
    curl_multi_perform(multi, &running);
    collectFinished();
    expireStalled();
    if (stopping) break;
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(pollTimeout().count()), nullptr);
  }
  shutDown();
}

void QLHTTPTransport::Engine::runCommands() {
  std::deque<Command> batch;
  {
    std::lock_guard<std::mutex> lock(mutex);
    batch.swap(commands);
  }
  for (auto& command : batch) {
    if (auto* start = std::get_if<StartCommand>(&command)) {
      add(std::move(start->transfer));
    } else {
      remove(std::get<CancelCommand>(command).id, cancelledError());
    }
  }
}

void QLHTTPTransport::Engine::add(std::unique_ptr<QLCurlTransfer> transfer) {
  Status prepared = transfer->prepare();
  if (!prepared) {
    transfer->fail(prepared.error());
    --active;
    return;
  }
  if (curl_multi_add_handle(multi, static_cast<CURL*>(transfer->easy())) != CURLM_OK) {
    transfer->fail(qlURLError(kQLURLErrorUnknown, "The HTTP engine refused a transfer"));
    --active;
    return;
  }
  transfers.emplace(transfer->id(), std::move(transfer));
}

void QLHTTPTransport::Engine::remove(TransferId id, Error error) {
  auto it = transfers.find(id);
  if (it == transfers.end()) return;
  auto transfer = std::move(it->second);
  transfers.erase(it);
  curl_multi_remove_handle(multi, static_cast<CURL*>(transfer->easy()));
  transfer->fail(std::move(error));
  --active;
}

void QLHTTPTransport::Engine::collectFinished() {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    CURL* easy = message->easy_handle;
    CURLcode code = message->data.result;
    char* owner = nullptr;
    curl_easy_getinfo(easy, CURLINFO_PRIVATE, &owner);
    auto* transfer = reinterpret_cast<QLCurlTransfer*>(owner);
    curl_multi_remove_handle(multi, easy);
    auto it = transfers.find(transfer->id());
    if (transfer->finishHop(code) == QLCurlTransfer::Outcome::Redirected) {
      if (curl_multi_add_handle(multi, easy) == CURLM_OK) continue;
      transfer->fail(qlURLError(kQLURLErrorUnknown, "The HTTP engine refused a transfer"));
    }
    if (it != transfers.end()) transfers.erase(it);
    --active;
  }
}

void QLHTTPTransport::Engine::expireStalled() {
  auto now = QLCurlTransfer::Clock::now();
  std::vector<TransferId> stalled;
  for (const auto& [id, transfer] : transfers) {
    if (transfer->idleDeadline() <= now) stalled.push_back(id);
  }
  for (TransferId id : stalled) {
    remove(id, qlURLError(kQLURLErrorTimedOut, "The request timed out."));
  }
}

std::chrono::milliseconds QLHTTPTransport::Engine::pollTimeout() const {
  auto now = QLCurlTransfer::Clock::now();
  auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(kMaxPoll);
  for (const auto& [id, transfer] : transfers) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(transfer->idleDeadline() - now);
    timeout = std::min(timeout, std::max(left + std::chrono::milliseconds(1),
                                         std::chrono::milliseconds(1)));
  }
  return timeout;
}

void QLHTTPTransport::Engine::shutDown() {
  std::vector<TransferId> ids;
  for (const auto& entry : transfers) ids.push_back(entry.first);
  for (TransferId id : ids) remove(id, cancelledError());
  std::deque<Command> rest;
  {
    std::lock_guard<std::mutex> lock(mutex);
    rest.swap(commands);
  }
  for (auto& command : rest) {
    if (auto* start = std::get_if<StartCommand>(&command)) {
      start->transfer->fail(cancelledError());
      --active;
    }
  }
}

QLHTTPTransport::QLHTTPTransport() : engine_(std::make_shared<Engine>()) {
  // The thread holds the engine itself, so a transport released from one of
  // its own callbacks can let the thread finish on its own.
  std::thread([engine = engine_] { engine->run(); }).detach();
}

QLHTTPTransport::~QLHTTPTransport() { engine_->stop(); }

QLHTTPTransport::TransferId QLHTTPTransport::start(QLURLRequest request, QLSecurityPolicy policy,
                                                    QLHTTPTransferDelegate delegate) {
  TransferId id = engine_->nextId++;
  ++engine_->active;
  engine_->post(Engine::StartCommand{
      std::make_unique<QLCurlTransfer>(id, std::move(request), std::move(policy), std::move(delegate))});
  return id;
}

void QLHTTPTransport::cancel(TransferId id) { engine_->post(Engine::CancelCommand{id}); }

size_t QLHTTPTransport::activeTransferCount() const { return engine_->active; }

}  // namespace vexa
