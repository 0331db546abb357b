// What the sample catalogue holds: two small-emoji packages (Chinese and
// ASCII codes), four sticker packages, three shop categories, a banner
// group, the default and recommended categories and the new-package time.
// Fixed data, built once; read-only and safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "service/CharacterPainter.h"
#include "service/FacePainter.h"

namespace vexa::service {

struct SampleEmoji {
  std::string guid;
  std::string code;
  std::string text;
  FaceStyle face;  // small emojis
  int variant = 0; // stickers: the character's pose
};

struct SamplePackage {
  std::string guid;
  std::string name;
  std::string intro;
  std::string author;
  std::string folder;  // under "images/"; may hold a space or CJK characters
  bool isEmoji = false;
  bool promotion = false;
  Rgb colour{1, 1, 1};
  CharacterStyle character;  // stickers and their package art
  std::vector<SampleEmoji> emojis;
  std::vector<std::pair<std::string, std::string>> tags;  // guid, label
};

struct SampleCategory {
  std::string guid;
  std::string name;
  std::vector<std::string> packages;
};

class SampleContent {
 public:
  static const std::vector<SamplePackage>& packages();
  static const SampleCategory& defaultCategory();
  static const SampleCategory& recommendCategory();
  static const std::vector<SampleCategory>& bannerGroups();
  static const std::vector<SampleCategory>& shopCategories();
  static constexpr int64_t kNewEmojiCountTimestamp = 1718236800000;  // 2024-06-13
  static constexpr const char* kCreateTime = "2024-05-20 10:00:00";
  static constexpr const char* kUpdateTime = "2024-06-13 08:00:00";
  static constexpr const char* kCopyright = "Vexa Sample Studio";
};

}  // namespace vexa::service
