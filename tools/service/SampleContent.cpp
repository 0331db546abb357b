#include "service/SampleContent.h"

#include <cstdio>

namespace vexa::service {

namespace {

using K = FaceStyle::Kind;
using E = FaceStyle::Eyes;
using M = FaceStyle::Mouth;
using X = FaceStyle::Extra;

FaceStyle f(E eyes, M mouth, X extra = X::None, uint32_t colour = 0xFFCC33) {
  return {K::Face, eyes, mouth, extra, Rgb::hex(colour)};
}
FaceStyle symbol(K kind, uint32_t colour) { return {kind, E::Dots, M::Smile, X::None, Rgb::hex(colour)}; }

SamplePackage classicFaces() {
  SamplePackage p{"pkg-classic-faces", "经典表情", "最常用的二十四个小表情，聊天必备。", "Vexa 小组",
                  "classic", true, false, Rgb::hex(0xFFCC33), {}, {}, {{"tag-daily", "日常"}}};
  struct Row {
    const char* code;
    FaceStyle style;
  } rows[] = {
      {"微笑", f(E::Dots, M::Smile)},          {"大笑", f(E::Happy, M::Grin)},
      {"哭泣", f(E::Closed, M::Frown, X::Tear)}, {"生气", f(E::Dots, M::Frown, X::Anger, 0xFF8A5B)},
      {"惊讶", f(E::Wide, M::Open)},           {"害羞", f(E::Happy, M::Smile, X::Blush)},
      {"眨眼", f(E::Wink, M::Tongue)},          {"亲亲", f(E::Closed, M::Kiss, X::Blush)},
      {"流汗", f(E::Dots, M::Flat, X::Sweat)},  {"睡觉", f(E::Closed, M::Open, X::Zzz)},
      {"酷", f(E::Shades, M::Smile)},          {"晕", f(E::Crosses, M::Wavy)},
      {"思考", f(E::Dots, M::Flat, X::Question)}, {"色", f(E::Hearts, M::Grin)},
      {"鼓掌", symbol(K::Clap, 0xFFCC33)},      {"点赞", symbol(K::Thumb, 0xFFCC33)},
      {"爱心", symbol(K::Heart, 0xE8384F)},     {"心碎", symbol(K::BrokenHeart, 0xB5364B)},
      {"礼物", symbol(K::Gift, 0xE8384F)},      {"蛋糕", symbol(K::Cake, 0xF7C8D8)},
      {"太阳", symbol(K::Sun, 0xFFD23F)},       {"月亮", symbol(K::Moon, 0xFFE08A)},
      {"星星", symbol(K::Star, 0xFFD23F)},      {"咖啡", symbol(K::Cup, 0xA8754B)},
  };
  int n = 1;
  for (const auto& r : rows) {
    char guid[32];
    std::snprintf(guid, sizeof guid, "emo-classic-%02d", n++);
    p.emojis.push_back({guid, r.code, r.code, r.style, 0});
  }
  return p;
}

SamplePackage everyday() {
  SamplePackage p{"pkg-everyday", "Everyday", "Twelve everyday faces with plain ASCII codes.", "Vexa Team",
                  "everyday", true, false, Rgb::hex(0x7BD389), {}, {}, {{"tag-daily", "日常"}}};
  struct Row {
    const char* code;
    const char* text;
    FaceStyle style;
  } rows[] = {
      {"smile", "Smile", f(E::Dots, M::Smile, X::None, 0x9BE37B)},
      {"grin", "Grin", f(E::Happy, M::Grin, X::None, 0x9BE37B)},
      {"wink", "Wink", f(E::Wink, M::Smile, X::None, 0x9BE37B)},
      {"sad", "Sad", f(E::Dots, M::Frown, X::Tear, 0x8FD0F0)},
      {"angry", "Angry", f(E::Dots, M::Frown, X::Anger, 0xFF8A5B)},
      {"cool", "Cool", f(E::Shades, M::Flat, X::None, 0x9BE37B)},
      {"love", "Love", f(E::Hearts, M::Smile, X::Blush, 0xFFB3C6)},
      {"sleepy", "Sleepy", f(E::Closed, M::Flat, X::Zzz, 0xC3B1E1)},
      {"thumbs up", "Thumbs up", symbol(K::Thumb, 0x9BE37B)},
      {"ok hand", "OK", symbol(K::Clap, 0x9BE37B)},
      {"party", "Party", symbol(K::Star, 0xFF9F1C)},
      {"coffee", "Coffee", symbol(K::Cup, 0x8D6E63)},
  };
  int n = 1;
  for (const auto& r : rows) {
    char guid[32];
    std::snprintf(guid, sizeof guid, "emo-everyday-%02d", n++);
    p.emojis.push_back({guid, r.code, r.text, r.style, 0});
  }
  return p;
}

SamplePackage stickers(std::string guid, std::string name, std::string intro, std::string folder,
                       CharacterStyle character, std::vector<std::pair<const char*, const char*>> codes,
                       bool promotion, std::string tagLabel) {
  SamplePackage p{guid, std::move(name), std::move(intro), "Vexa Sample Studio", std::move(folder), false,
                  promotion, character.colour, character, {}, {{"tag-" + guid, std::move(tagLabel)}}};
  int n = 0;
  for (const auto& [code, text] : codes) {
    char id[64];
    std::snprintf(id, sizeof id, "%s-%02d", guid.c_str(), n + 1);
    std::string emojiGuid = "emo" + std::string(id).substr(3);
    p.emojis.push_back({emojiGuid, code, text, {}, n});
    ++n;
  }
  return p;
}

std::vector<SamplePackage> makePackages() {
  using C = CharacterStyle::Kind;
  return {
      classicFaces(),
      everyday(),
      stickers("pkg-mochi-cat", "团子猫", "一只圆滚滚的橘猫，陪你从早安聊到晚安。", "团子 cat",
               {C::Cat, Rgb::hex(0xF6B26B)},
               {{"早安", "早安"}, {"晚安", "晚安"}, {"谢谢", "谢谢"}, {"加油", "加油"}, {"抱抱", "抱抱"},
                {"开心", "开心"}, {"委屈", "委屈"}, {"吃饭了", "吃饭了"}},
               true, "萌宠"),
      stickers("pkg-bouncy-blob", "Bouncy Blob", "A wobbly friend for every mood.", "bouncy blob",
               {C::Blob, Rgb::hex(0x8EC5FC)},
               {{"hello", "Hello"}, {"bye", "Bye"}, {"yay", "Yay"}, {"oops", "Oops"}, {"love you", "Love you"},
                {"on my way", "On my way"}, {"lol", "LOL"}, {"zzz", "Zzz"}},
               false, "Cute"),
      stickers("pkg-little-robot", "小机器人", "工作中的小机器人，回复消息又快又准。", "robot",
               {C::Robot, Rgb::hex(0xB8C4D6)},
               {{"收到", "收到"}, {"在忙", "在忙"}, {"充电中", "充电中"}, {"出发", "出发"}, {"好的", "好的"},
                {"666", "666"}},
               false, "办公"),
      stickers("pkg-sunny-days", "天气心情", "晴雨雪风，用天气说出你的心情。", "weather",
               {C::Weather, Rgb::hex(0xDDE7F0)},
               {{"晴天", "晴天"}, {"下雨", "下雨"}, {"下雪", "下雪"}, {"彩虹", "彩虹"}, {"大风", "大风"},
                {"雷雨", "雷雨"}},
               false, "天气"),
  };
}

}  // namespace

const std::vector<SamplePackage>& SampleContent::packages() {
  static const std::vector<SamplePackage> packages = makePackages();
  return packages;
}

const SampleCategory& SampleContent::defaultCategory() {
  static const SampleCategory c{"cat-default", "默认表情", {"pkg-classic-faces", "pkg-everyday"}};
  return c;
}

const SampleCategory& SampleContent::recommendCategory() {
  static const SampleCategory c{"cat-recommend", "为你推荐", {"pkg-mochi-cat", "pkg-bouncy-blob", "pkg-little-robot"}};
  return c;
}

const std::vector<SampleCategory>& SampleContent::bannerGroups() {
  static const std::vector<SampleCategory> groups{
      {"banner-home", "热门活动", {"pkg-mochi-cat", "pkg-sunny-days", "pkg-bouncy-blob"}}};
  return groups;
}

const std::vector<SampleCategory>& SampleContent::shopCategories() {
  static const std::vector<SampleCategory> categories{
      {"cat-hot", "热门推荐", {"pkg-mochi-cat", "pkg-bouncy-blob", "pkg-little-robot", "pkg-sunny-days"}},
      {"cat-cute", "萌宠天地", {"pkg-mochi-cat", "pkg-bouncy-blob"}},
      {"cat-daily", "日常用语", {"pkg-little-robot", "pkg-sunny-days", "pkg-everyday"}},
  };
  return categories;
}

}  // namespace vexa::service
