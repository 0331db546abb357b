// One lookup of emojis by code for QLDownloadManager.
//
// The device answers first: the manager's memory table (small and any-kind
// lookups), the stored packages, the temporary emojis. The codes left over
// go to the service in one request, each once. Of its answer, elements with
// a null guid (codes it does not know) and elements for codes that were not
// asked are dropped; for the rest the main image is fetched and decoded on
// a background queue and written to the store's image file, and back on the
// main queue the emoji is saved as a temporary emoji (only with its image)
// and appended, in the service's order, after the device's. An answer of
// 30001 refreshes the token and starts the lookup again, at most the
// manager's refresh-round cap times.
//
// Completions run once, on the main thread: before start() returns when the
// device knows every code, else from the main queue.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/Lifetime.h"

namespace vexa {

class QLEmojiLookup : public std::enable_shared_from_this<QLEmojiLookup> {
 public:
  enum class Kind { Small, Big, Any };
  using VXEmojis = QLDownloadManager::VXEmojis;

  // The device's emojis for the codes, in input order (a code found twice
  // gives two records); `unresolved` (when given) receives the codes not
  // found, each once, in order of first occurrence.
  static VXEmojis resolveLocally(QLDownloadManager& manager, Kind kind,
                                 const std::vector<std::string>& codes,
                                 std::vector<std::string>* unresolved = nullptr);
  // A remote lookup of small or big emojis.
  static void start(QLDownloadManager& manager, Kind kind, std::vector<std::string> codes,
                    QLDownloadManager::LookupCompletion completion, int refreshRounds = 0);

  // Made by start() only.
  QLEmojiLookup(QLDownloadManager& manager, Kind kind, std::vector<std::string> codes,
                std::vector<std::string> unresolved, VXEmojis found,
                QLDownloadManager::LookupCompletion completion, int refreshRounds);

 private:
  // One element of the answer that is kept, with what the background found.
  struct Candidate {
    std::shared_ptr<QLEmoji> emoji;
    std::optional<QLURLRequest> request;  // of its main image; none without one
    std::filesystem::path imagePath;      // where the store keeps that image
    std::shared_ptr<const Image> image;   // decoded, when fetched
    std::shared_ptr<const Bytes> data;
    bool imageSaved = false;              // the image file is in the store
  };

  static std::shared_ptr<QLEmoji> findLocally(QLDownloadManager& manager, Kind kind,
                                              const std::string& code);
  void send();
  void answered(const Value& json);
  void refreshAndRestart(const Error& invalidToken);
  // The answer's emojis with the requests for their images.
  std::vector<Candidate> candidatesFrom(const std::vector<std::shared_ptr<QLEmoji>>& emojis);
  void fetchImages(std::vector<Candidate> candidates);
  // Main queue: one fetched element.
  void deliver(Candidate candidate);
  void finish(Result<VXEmojis> result);
  bool managerAlive() const { return !alive_.expired(); }

  QLDownloadManager& manager_;
  Lifetime::Token alive_;
  const Kind kind_;
  const std::vector<std::string> codes_;
  const std::vector<std::string> unresolved_;
  VXEmojis result_;
  QLDownloadManager::LookupCompletion completion_;
  const int refreshRounds_;
};

}  // namespace vexa
