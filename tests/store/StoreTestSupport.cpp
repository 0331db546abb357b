#include "StoreTestSupport.h"

#include "support/ZipTestSupport.h"
#include "vexa/platform/PropertyList.h"

namespace vexa::test {

std::shared_ptr<QLPackage> makePackage(const std::string& guid, bool isDefault, bool isEmoji,
                                       int emojis) {
  auto package = std::make_shared<QLPackage>();
  package->setGuid(guid);
  package->setName("package " + guid);
  package->setIsDefault(isDefault);
  package->setIsEmoji(isEmoji);
  package->setPackageType(isDefault ? QLPackage::kDefaultSmallEmojiType : 0);
  package->setChat_icon("http://img.test/" + guid + "/icon.png");
  QLPackage::Emojis list;
  for (int i = 0; i < emojis; ++i) {
    auto emoji = std::make_shared<QLEmoji>();
    const std::string id = guid + "-" + std::to_string(i);
    emoji->setGuid(id);
    emoji->setEmo_code(guid + "_" + std::to_string(i));
    emoji->setEmo_text("text " + id);
    emoji->setThumbail("http://img.test/" + id + "/thumb.png");
    emoji->setMain_image("http://img.test/" + id + "/main.gif");
    emoji->setPackage_id(guid);
    list.push_back(emoji);
  }
  package->setEmojis(std::move(list));
  return package;
}

void placeImages(QLPackageCache& store, const QLPackage& package, bool everything) {
  for (const auto& emoji : package.emojis()) {
    writeText(store.imageFileURLWithKey(emoji->thumbail()), tinyPng());
    if (everything) writeText(store.imageFileURLWithKey(emoji->main_image()), tinyGif());
  }
  if (everything) writeText(store.imageFileURLWithKey(package.chat_icon()), tinyPng());
}

StoreUnderTest::StoreUnderTest()
    : shared_(std::make_shared<QL_SDImageCache>("default", tmp_.path() / "Caches")),
      store_(std::make_unique<QLPackageCache>(base(), shared_)) {}

void StoreUnderTest::reopen() { store_ = std::make_unique<QLPackageCache>(base(), shared_); }

std::vector<std::string> guidsInList(const std::filesystem::path& path) {
  auto list = PropertyList::readFile(path);
  if (!list || !list->isArray()) return {"<unreadable>"};
  std::vector<std::string> out;
  for (const auto& v : *list->asArray()) out.push_back(v.asString() ? *v.asString() : "<not text>");
  return out;
}

std::vector<std::string> guidsOf(const std::vector<std::shared_ptr<QLPackage>>& packages) {
  std::vector<std::string> out;
  for (const auto& p : packages) out.push_back(p->guid());
  return out;
}

}  // namespace vexa::test
