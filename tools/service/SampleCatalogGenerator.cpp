#include "service/SampleCatalogGenerator.h"

#include <cerrno>
#include <cmath>
#include <fstream>
#include <functional>

#include "vexa/platform/FileSystem.h"
#include "vexa/platform/JsonCodec.h"
#include "service/GifWriter.h"
#include "service/SampleContent.h"
#include "service/TextPainter.h"

namespace vexa::service {

namespace {

namespace fs = std::filesystem;
using Dict = Value::Dictionary;

constexpr int kThumbSmall = 64, kMainSmall = 96;
constexpr int kThumbBig = 96, kMainBig = 180;
constexpr int kStickerFrames = 6;
constexpr int kStickerDelays[kStickerFrames] = {12, 8, 8, 12, 8, 8};
const Rgb kWhite{1, 1, 1};
const Rgb kDark = Rgb::hex(0x3B2A20);

// Writes files below the catalogue directory and remembers the first error.
// Files are not synced one by one: SampleCatalog syncs the finished
// directory once before it puts it in place.
class FileWriter {
 public:
  explicit FileWriter(fs::path root) : root_(std::move(root)) {}

  // Stores the bytes under the relative reference and returns it.
  std::string put(const std::string& ref, const Result<std::string>& bytes) {
    if (!status_.ok()) return ref;
    if (!bytes) {
      status_ = bytes.error();
      return ref;
    }
    fs::path path = root_ / fs::path(ref);
    if (auto made = FileSystem::createDirectories(path.parent_path()); !made) {
      status_ = made;
      return ref;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    out.close();
    if (!out) status_ = Error(FileSystem::kErrorDomain, EIO, "cannot write " + path.string());
    return ref;
  }
  const Status& status() const { return status_; }

 private:
  fs::path root_;
  Status status_;
};

void background(cairo_t* cr, double w, double h, Rgb colour) {
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, w, h);
  Rgb light = colour.mixed(kWhite, 0.65);
  cairo_pattern_add_color_stop_rgb(gradient, 0, light.r, light.g, light.b);
  cairo_pattern_add_color_stop_rgb(gradient, 1, colour.r, colour.g, colour.b);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_set_source(cr, gradient);
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);
}

// The package's picture: its character, or its first small emoji.
void mascot(cairo_t* cr, const SamplePackage& p, double size, double phase = 0) {
  if (p.isEmoji) {
    FacePainter::paint(cr, size, p.emojis.front().face, false);
  } else {
    CharacterPainter::paint(cr, size, p.character, 0, phase);
  }
}

void drawAt(cairo_t* cr, double x, double y, const std::function<void()>& draw) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  draw();
  cairo_restore(cr);
}

Result<std::string> cover(const SamplePackage& p) {
  Canvas canvas(200, 200);
  background(canvas.cr(), 200, 200, p.colour);
  drawAt(canvas.cr(), 20, 20, [&] { mascot(canvas.cr(), p, 160); });
  return canvas.png();
}

Result<std::string> banner(const SamplePackage& p) {
  Canvas canvas(750, 400);
  background(canvas.cr(), 750, 400, p.colour);
  drawAt(canvas.cr(), 420, 50, [&] { mascot(canvas.cr(), p, 300); });
  TextPainter::paragraph(canvas.cr(), p.name, 50, 110, 360, 64, kDark, true);
  TextPainter::paragraph(canvas.cr(), p.intro, 50, 210, 360, 26, kDark.mixed(kWhite, 0.2));
  return canvas.png();
}

Result<std::string> recommendPicture(const SamplePackage& p) {
  Canvas canvas(240, 240);
  background(canvas.cr(), 240, 240, p.colour.mixed(kWhite, 0.4));
  drawAt(canvas.cr(), 40, 10, [&] { mascot(canvas.cr(), p, 160); });
  TextPainter::centred(canvas.cr(), p.name, 10, 176, 220, 56, 30, kDark);
  return canvas.png();
}

Result<std::string> tabIcon(const SamplePackage& p) {
  Canvas canvas(60, 60);
  mascot(canvas.cr(), p, 60);
  return canvas.png();
}

Result<std::string> smallThumbnail(const SampleEmoji& e) {
  Canvas canvas(kThumbSmall, kThumbSmall);
  FacePainter::paint(canvas.cr(), kThumbSmall, e.face, false);
  return canvas.png();
}

Result<std::string> smallAnimation(const SampleEmoji& e) {
  GifWriter gif(kMainSmall, kMainSmall);
  for (bool blink : {false, true}) {
    Canvas canvas(kMainSmall, kMainSmall);
    FacePainter::paint(canvas.cr(), kMainSmall, e.face, blink);
    gif.addFrame(canvas, blink ? 20 : 180);
  }
  return gif.finish();
}

Result<std::string> stickerThumbnail(const SamplePackage& p, const SampleEmoji& e) {
  Canvas canvas(kThumbBig, kThumbBig);
  CharacterPainter::paint(canvas.cr(), kThumbBig, p.character, e.variant, 0);
  return canvas.png();
}

Result<std::string> stickerAnimation(const SamplePackage& p, const SampleEmoji& e) {
  GifWriter gif(kMainBig, kMainBig);
  for (int frame = 0; frame < kStickerFrames; ++frame) {
    Canvas canvas(kMainBig, kMainBig);
    drawAt(canvas.cr(), 10, 0, [&] {
      CharacterPainter::paint(canvas.cr(), kMainBig - 20, p.character, e.variant,
                              double(frame) / kStickerFrames);
    });
    TextPainter::centred(canvas.cr(), e.text, 4, kMainBig - 46, kMainBig - 8, 44, 30, kDark, kWhite, 6);
    gif.addFrame(canvas, kStickerDelays[frame]);
  }
  return gif.finish();
}

Value categoryValue(const SampleCategory& c) {
  Value::Array packages(c.packages.begin(), c.packages.end());
  return Value::dict({{"guid", c.guid}, {"name", c.name}, {"packages", Value(std::move(packages))}});
}

Value packageValue(const SamplePackage& p, FileWriter& files) {
  std::string dir = "images/" + p.folder + "/";
  Value::Array tags;
  for (const auto& [guid, label] : p.tags) tags.push_back(Value::dict({{"guid", guid}, {"label", label}}));
  Dict record{
      {"guid", p.guid},
      {"name", p.name},
      {"is_emoji", p.isEmoji},
      {"promotion", p.promotion},
      {"intro", p.intro},
      {"author", p.author},
      {"copyright", SampleContent::kCopyright},
      {"createtime", SampleContent::kCreateTime},
      {"updatetime", SampleContent::kUpdateTime},
      {"tags", Value(std::move(tags))},
      {"cover", files.put(dir + "cover.png", cover(p))},
      {"banner", files.put(dir + "banner.png", banner(p))},
      {"recommend_pic", files.put(dir + "recommend.png", recommendPicture(p))},
      {"chat_icon", files.put(dir + "tab icon.png", tabIcon(p))},
  };
  Value::Array emojis;
  for (const auto& e : p.emojis) {
    // Sticker files are named by their code, so some names hold spaces or CJK.
    std::string stem = dir + (p.isEmoji ? e.guid : e.code);
    std::string thumb = files.put(stem + " thumb.png", p.isEmoji ? smallThumbnail(e) : stickerThumbnail(p, e));
    std::string main = files.put(stem + ".gif", p.isEmoji ? smallAnimation(e) : stickerAnimation(p, e));
    emojis.push_back(Value::dict({{"guid", e.guid},
                                  {"emo_code", e.code},
                                  {"emo_text", e.text},
                                  {"emojitype", p.isEmoji ? 1 : 2},
                                  {"thumbail", thumb},
                                  {"main_image", main}}));
  }
  record["emoticions"] = Value(std::move(emojis));
  return Value(std::move(record));
}

}  // namespace

Status SampleCatalogGenerator::write(const fs::path& directory) {
  FileWriter files(directory);
  Value::Array packages;
  for (const auto& p : SampleContent::packages()) packages.push_back(packageValue(p, files));
  if (!files.status().ok()) return files.status();
  Value::Array banners, shop;
  for (const auto& c : SampleContent::bannerGroups()) banners.push_back(categoryValue(c));
  for (const auto& c : SampleContent::shopCategories()) shop.push_back(categoryValue(c));
  Value catalog = Value::dict({
      {"format", 1},
      {"newEmojiCountTimestamp", SampleContent::kNewEmojiCountTimestamp},
      {"packages", Value(std::move(packages))},
      {"defaultCategory", categoryValue(SampleContent::defaultCategory())},
      {"recommendCategory", categoryValue(SampleContent::recommendCategory())},
      {"bannerGroups", Value(std::move(banners))},
      {"shopCategories", Value(std::move(shop))},
  });
  files.put("catalog.json", JsonCodec::serialize(catalog));
  return files.status();
}

}  // namespace vexa::service
