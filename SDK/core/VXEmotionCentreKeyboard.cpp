// The centre as the keyboard's data source and delegate, and the delivery
// of picked emojis.
#include "vexa/api/QLDownloadManager.h"
#include "vexa/core/QLDefaultPackageLoader.h"
#include "vexa/core/QLInputEditor.h"
#include "vexa/core/VXEmotionCentre.h"
#include "vexa/keyboard/QLEmotionKeyboard.h"
#include "vexa/store/QLPackageHelper.h"

namespace vexa {

namespace {

// Small-emoji pages: 3 x 7; every other package: 2 x 4.
constexpr size_t kSmallRows = 3, kSmallColumns = 7, kBigRows = 2, kBigColumns = 4;

bool isSmallEmojiPackage(const std::shared_ptr<QLPackage>& package) {
  return package && package->packageType() == QLPackage::kDefaultSmallEmojiType;
}

// A grid cell shows a still picture: the first frame of an animation.
std::shared_ptr<const Image> stillImage(std::shared_ptr<const Image> image) {
  if (!image || !image->isAnimated()) return image;
  return Image::still(image->firstFrame(), image->scale(), image->orientation(), image->alphaInfo());
}

}  // namespace

void VXEmotionCentre::buildKeyboardDataSource() {
  // The struct is the centre's own and the keyboard holds it weakly, so
  // `this` is alive whenever the keyboard asks.
  keyboardSource_ = std::make_shared<QLEmotionKeyboardDataSource>();
  auto& s = *keyboardSource_;
  QLDownloadManager& manager = manager_;
  auto store = [&manager]() -> QLPackageCache& { return manager.packageCache(); };
  s.numberOfSectionInKeyboard = [store](QLEmotionKeyboard&) {
    return static_cast<int>(QLPackageHelper::countOfPackages(store()));
  };
  s.numberOfSectionsInKeyboard = s.numberOfSectionInKeyboard;
  s.numberOfItemsInSection = [store](QLEmotionKeyboard&, int section) {
    return static_cast<int>(QLPackageHelper::countOfEmojisAtIndex(section, store()));
  };
  s.thumbForItemAtIndexPath = [store](QLEmotionKeyboard&, const IndexPath& p) {
    return stillImage(QLPackageHelper::thumbOfEmojiAtIndexPath(p, store()));
  };
  s.imageForItemAtIndexPath = [store](QLEmotionKeyboard&, const IndexPath& p) {
    return QLPackageHelper::mainImageOfEmojiAtIndexPath(p, store());
  };
  s.titleForItemAtIndexPath = [store](QLEmotionKeyboard&, const IndexPath& p) -> std::optional<std::string> {
    if (isSmallEmojiPackage(QLPackageHelper::packageAtIndex(p.section, store()))) return std::nullopt;
    auto emoji = QLPackageHelper::emojiAtIndexPath(p, store());
    if (!emoji) return std::nullopt;
    return emoji->emo_text();
  };
  s.imageInSection = [store](QLEmotionKeyboard&, int section) {
    return QLPackageHelper::chatIconOfPackageAtIndex(section, store());
  };
  s.shouldAddBackspaceInSection = [this, store](QLEmotionKeyboard&, int section) {
    auto package = QLPackageHelper::packageAtIndex(section, store());
    return package && canMixedTextImageForPackage(*package);
  };
  s.indexOfSelectedSectionInKeyboard = [store](QLEmotionKeyboard&) { return store().selectedPackageIndex(); };
  s.codeForItemAtIndexPath = [store](QLEmotionKeyboard&, const IndexPath& p) {
    return QLPackageHelper::codeOfEmojiAtIndexPath(p, store());
  };
  s.identifierInSection = [store](QLEmotionKeyboard&, int section) {
    auto package = QLPackageHelper::packageAtIndex(section, store());
    return package ? package->guid() : std::string();
  };
  s.nameInSection = [store](QLEmotionKeyboard&, int section) {
    auto package = QLPackageHelper::packageAtIndex(section, store());
    return package ? package->name() : std::string();
  };
}

void VXEmotionCentre::buildKeyboardDelegate() {
  keyboardDelegate_ = std::make_shared<QLEmotionKeyboardDelegate>();
  auto& d = *keyboardDelegate_;
  QLDownloadManager& manager = manager_;
  auto package = [&manager](int section) { return QLPackageHelper::packageAtIndex(section, manager.packageCache()); };
  d.rowsInSection = [package](QLEmotionKeyboard&, int section) {
    return isSmallEmojiPackage(package(section)) ? kSmallRows : kBigRows;
  };
  d.columnsInSection = [package](QLEmotionKeyboard&, int section) {
    return isSmallEmojiPackage(package(section)) ? kSmallColumns : kBigColumns;
  };
  d.didSelectedSectionAtIndex = [&manager, package](QLEmotionKeyboard&, int section) {
    if (auto selected = package(section)) manager.packageCache().setSelectedPackage(selected);
  };
  d.didSelectItemAtIndexPath = [this](QLEmotionKeyboard& keyboard, const IndexPath& p) {
    didSelectItem(keyboard, p.section, p.item);
  };
  d.longPressItemAtIndexPath = [this, &manager, package](QLEmotionKeyboard&, const IndexPath& p) {
    auto pressed = package(p.section);
    auto emoji = QLPackageHelper::emojiAtIndexPath(p, manager.packageCache());
    if (pressed && emoji) reportUsage(kActionView, *pressed, *emoji);
  };
  d.willMoveToSuperViewForKeyboard = [this](QLEmotionKeyboard&) { loader_->checkToDownloadDefaultEmojis(); };
  d.tapOverlayForKeyboard = [this](QLEmotionKeyboard&) {
    auto host = delegate();
    if (host && host->tapOverlay) host->tapOverlay();
  };
  d.triggerBackspaceForKeyboard = [this](QLEmotionKeyboard&) { (void)backspace(); };
  d.triggerSendForKeyboard = [this](QLEmotionKeyboard& keyboard) {
    auto host = delegate();
    auto input = keyboard.textInput();
    if (host && host->didSendWithInput && input) host->didSendWithInput(*input);
  };
}

void VXEmotionCentre::didSelectItem(const QLEmotionKeyboard& keyboard, int section, int item) {
  QLPackageCache& store = manager_.packageCache();
  auto package = QLPackageHelper::packageAtIndex(section, store);
  auto emoji = QLPackageHelper::emojiAtIndexPath(IndexPath::forItem(item, section), store);
  // A path from before the store changed may name nothing any more.
  if (!package || !emoji) return;
  if (!canMixedTextImageForPackage(*package)) {
    selectedEmoji(*emoji, *package, Sender::Keyboard);
    return;
  }
  // Inline: the host hears nothing and no usage is reported.
  if (auto input = keyboard.textInput()) {
    (void)QLInputEditor::insertEmoji(*input, QLPackageHelper::vxEmojiFromQLEmoji(*emoji, store));
  }
}

bool VXEmotionCentre::canMixedTextImageForPackage(const QLPackage& package) const {
  return supportedMixedTextImage_ && package.packageType() == QLPackage::kDefaultSmallEmojiType;
}

void VXEmotionCentre::selectedEmoji(const QLEmoji& emoji, const QLPackage& package, Sender sender) {
  auto host = delegate();
  auto deliver = host ? (sender == Sender::TipManager ? host->didSelectTipEmoji
                         : sender == Sender::Keyboard ? host->didSelectEmoji
                                                      : nullptr)
                      : nullptr;
  if (deliver) {
    QLPackageCache& store = manager_.packageCache();
    // The package id stays empty on this path.
    auto picked = std::make_shared<VXEmoji>();
    picked->setEmojiId(emoji.guid());
    picked->setEmojiName(emoji.emo_text());
    picked->setEmojiCode(emoji.emo_code());
    picked->setEmojiImage(store.imageForKey(emoji.main_image(), emoji));
    picked->setEmojiData(store.imageDataForKey(emoji.main_image()));
    deliver(picked);
  }
  reportUsage(kActionSend, package, emoji);
}

void VXEmotionCentre::reportUsage(int64_t action, const QLPackage& package, const QLEmoji& emoji) {
  auto params = QLDownloadManager::paramsForEmojiActionType(action, package.guid(), emoji.guid(), emoji.emo_text());
  if (params) manager_.logAction(action, *params);
}

}  // namespace vexa
