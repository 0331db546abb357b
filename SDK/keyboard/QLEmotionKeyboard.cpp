#include "vexa/keyboard/QLEmotionKeyboard.h"

#include <algorithm>
#include <chrono>

#include "vexa/api/QLDownloadManager.h"
#include "vexa/api/QLRequestType.h"
#include "vexa/keyboard/QLEmotionKeyboardSession.h"
#include "vexa/keyboard/QLInputItemGroupView.h"
#include "vexa/keyboard/QLInputToolView.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/UserDefaults.h"
#include "vexa/platform/WallClock.h"
#include "vexa/platform/ui/ImageView.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/platform/ui/TapGestureRecognizer.h"
#include "vexa/platform/ui/TextInputView.h"
#include "vexa/shop/QLShopViewController.h"
#include "vexa/store/QLPackageHelper.h"
#include "vexa/theme/QLEmotionGlobal.h"

namespace vexa {

namespace {

double toolBarHeightForMainScreen() {
  const Screen screen = Screen::main();
  if (!screen.isPhone()) return 42;
  if (screen.longSide() <= 568) return 33;
  if (screen.longSide() == 667) return 39;
  return 42;
}

}  // namespace

QLEmotionKeyboard::QLEmotionKeyboard(Rect frame, QLDownloadManager& manager,
                                     std::shared_ptr<QLEmotionKeyboardSession> session)
    : View(frame), manager_(manager), session_(std::move(session)) {
  setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
  toolBarHeight_ = toolBarHeightForMainScreen();
  groupView_ = QLInputItemGroupView::create(Rect{}, manager_);
  toolView_ = QLInputToolView::create();
  buildChildProtocols();
  addSubview(groupView_);
  addSubview(toolView_);
  remindView_ = ImageView::create();
  remindView_->setImage(QLEmotionGlobal::sharedInstance().base64UIimageWithName("mark_new"));
  remindView_->setHidden(true);
  addSubview(remindView_);
}

QLEmotionKeyboard::~QLEmotionKeyboard() = default;

std::shared_ptr<QLEmotionKeyboard> QLEmotionKeyboard::create(Rect frame, QLDownloadManager& manager,
                                                             std::shared_ptr<QLEmotionKeyboardSession> session) {
  auto keyboard = std::make_shared<QLEmotionKeyboard>(frame, manager, std::move(session));
  keyboard->requestData();
  return keyboard;
}

std::shared_ptr<QLEmotionKeyboard> QLEmotionKeyboard::keyboard() {
  return create(Rect(0, 0, Screen::main().bounds.width(), kDefaultHeight), QLDownloadManager::defaultManager(),
                QLEmotionKeyboardSession::shared());
}

void QLEmotionKeyboard::buildChildProtocols() {
  // The structs belong to this keyboard and the children hold them weakly,
  // so `this` is alive whenever a child calls.
  groupSource_ = std::make_shared<QLInputItemGroupViewDataSource>();
  auto& g = *groupSource_;
  g.numberOfRowAtGroup = [this](int group) { return numberOfRowAtGroup(group); };
  g.numberOfColumnAtGroup = [this](int group) { return numberOfColumnAtGroup(group); };
  g.selectedGroupPath = [this] { return selectedGroupPath(); };
  g.numberOfGroups = [this] { return numberOfGroups(); };
  g.numberOfItemsAtGroup = [this](int group) { return static_cast<size_t>(numberOfItemsAtGroup(group)); };
  g.shouldAddBackspaceAtGroup = [this](int group) { return shouldAddBackspaceAtGroup(group); };
  g.thumbOfGroupViewAtIndexPath = [this](const IndexPath& p) -> ImagePtr {
    auto ds = dataSource();
    return ds && ds->thumbForItemAtIndexPath ? ds->thumbForItemAtIndexPath(*this, p) : nullptr;
  };
  g.mianImageOfGroupViewAtIndexPath = [this](const IndexPath& p) -> ImagePtr {
    auto ds = dataSource();
    return ds && ds->imageForItemAtIndexPath ? ds->imageForItemAtIndexPath(*this, p) : nullptr;
  };
  g.titleOfGroupViewAtIndexPath = [this](const IndexPath& p) -> std::optional<std::string> {
    auto ds = dataSource();
    return ds && ds->titleForItemAtIndexPath ? ds->titleForItemAtIndexPath(*this, p) : std::nullopt;
  };
  g.codeOfGroupViewAtIndexPath = [this](const IndexPath& p) -> std::string {
    auto ds = dataSource();
    return ds && ds->codeForItemAtIndexPath ? ds->codeForItemAtIndexPath(*this, p) : std::string();
  };
  g.shouldShowRecommendGroup = [this] { return shouldShowRecommendGroup(); };
  g.recommendCategory = [this] { return recommendCategory(); };
  g.recommendDownloadFinished = [this] { recommendDownloadFinished(); };
  g.recommendGroupSelected = [this] { return session_->recommendGroupSelected(); };

  groupDelegate_ = std::make_shared<QLInputItemGroupViewDelegate>();
  groupDelegate_->scrollToGroup = [this](QLInputItemGroupView&, int group) { scrollToGroup(group); };
  groupDelegate_->didSelectedAtIndexPath = [this](QLInputItemGroupView&, const IndexPath& p) {
    auto d = delegate();
    if (d && d->didSelectItemAtIndexPath) d->didSelectItemAtIndexPath(*this, p);
  };
  groupDelegate_->longPressedAtIndexPath = [this](QLInputItemGroupView&, const IndexPath& p) {
    auto d = delegate();
    if (d && d->longPressItemAtIndexPath) d->longPressItemAtIndexPath(*this, p);
  };
  groupDelegate_->triggerBackspaceAtGroupView = [this](QLInputItemGroupView&) {
    auto d = delegate();
    if (d && d->triggerBackspaceForKeyboard) d->triggerBackspaceForKeyboard(*this);
  };

  toolSource_ = std::make_shared<QLInputToolViewDataSource>();
  toolSource_->numberOfToolItems = [this] { return numberOfToolItems(); };
  toolSource_->toolImageAtIndex = [this](size_t i) { return toolImageAtIndex(i); };
  toolSource_->selectedGroupIndex = [this] { return selectedGroupIndex(); };
  toolSource_->shouldContainedSendButtonAtIndex = [this](size_t s) { return shouldContainedSendButtonAtIndex(s); };
  toolSource_->shouldShowRecommendGroup = [this] { return shouldShowRecommendGroup(); };
  toolSource_->toolIdentifierAtIndex = [this](size_t i) -> std::string {
    const bool shown = shouldShowRecommendGroup();
    if (shown && i == 0) return "tab:recommend";
    auto ds = dataSource();
    const int section = static_cast<int>(shown ? i - 1 : i);
    return ds && ds->identifierInSection ? "tab:" + ds->identifierInSection(*this, section) : std::string();
  };
  toolSource_->toolLabelAtIndex = [this](size_t i) -> std::string {
    const bool shown = shouldShowRecommendGroup();
    if (shown && i == 0) return "推荐";
    auto ds = dataSource();
    const int section = static_cast<int>(shown ? i - 1 : i);
    return ds && ds->nameInSection ? ds->nameInSection(*this, section) : std::string();
  };
  toolDelegate_ = std::make_shared<QLInputToolViewDelegate>();
  toolDelegate_->inputToolViewTriggerAction = [this](QLInputToolView&, int action, size_t index) {
    inputToolViewTriggerAction(action, index);
  };

  groupView_->setDataSource(groupSource_);
  groupView_->setDelegate(groupDelegate_);
  toolView_->setDataSource(toolSource_);
  toolView_->setDelegate(toolDelegate_);
}

// --- Data source, delegate, reload ------------------------------------------

void QLEmotionKeyboard::setDataSource(const std::shared_ptr<QLEmotionKeyboardDataSource>& dataSource) {
  if (dataSource == dataSource_.lock()) return;
  dataSource_ = dataSource;
  reloadData();
}

void QLEmotionKeyboard::setDelegate(const std::shared_ptr<QLEmotionKeyboardDelegate>& delegate) {
  if (delegate == delegate_.lock()) return;
  delegate_ = delegate;
  reloadData();
}

void QLEmotionKeyboard::setToolBarHeight(double height) {
  if (height == toolBarHeight_) return;
  toolBarHeight_ = height;
  setNeedsLayout();
}

void QLEmotionKeyboard::reloadData() {
  layoutIfNeeded();
  toolView_->reloadData();
  groupView_->reloadData();
}

void QLEmotionKeyboard::layoutSubviews() {
  const double W = bounds().width(), H = bounds().height(), T = toolBarHeight_;
  toolView_->setFrame(Rect(0, H - T, W, T));
  groupView_->setFrame(Rect(0, 0, W, H - T));
  remindView_->setFrame(Rect(0, H - T, 2 * T / 3, 2 * T / 3));
}

void QLEmotionKeyboard::willMoveToSuperview(View* newSuperview) {
  View::willMoveToSuperview(newSuperview);
  if (newSuperview) reloadData();
  auto d = delegate();
  if (d && d->willMoveToSuperViewForKeyboard) d->willMoveToSuperViewForKeyboard(*this);
}

// --- Requests and the "new" mark ---------------------------------------------

void QLEmotionKeyboard::requestData() {
  std::weak_ptr<View> weak = weak_from_this();
  auto session = session_;
  if (!session->recommendCategory() && !session->recommendRequestInFlight) {
    session->recommendRequestInFlight = true;
    manager_.sendRequest(QLRequestTypeRecommend, Value::dict(),
                         [weak, session](const Result<QLResponse>& result) {
      session->recommendRequestInFlight = false;
      if (result.ok()) {
        const auto* categories = result.value().categories();
        if (categories && !categories->empty()) session->setRecommendCategory(categories->front());
      }
      auto self = std::static_pointer_cast<QLEmotionKeyboard>(weak.lock());
      if (!self || self->manager_.packageCache().isNeedDownloadedDefaultPackages()) return;
      auto offered = self->recommendCategory();
      self->groupView_->resizeWithAddRecommendPages(offered ? static_cast<int>(offered->packages().size()) : 0);
      self->reloadData();
    });
  }
  if (session->newEmojiTimestamp() == 0 && !session->timestampRequestInFlight) {
    session->timestampRequestInFlight = true;
    manager_.sendRequest(QLRequestTypeCheckNewPackages, Value::dict(),
                         [weak, session](const Result<QLResponse>& result) {
      session->timestampRequestInFlight = false;
      double stamp = 0;
      if (result.ok()) {
        const Value* answer = result.value().value();
        const Value* field = answer ? answer->find("newEmojiCountTimestamp") : nullptr;
        stamp = field ? field->numberAsReal().value_or(0) : 0;
      }
      session->setNewEmojiTimestamp(stamp);
      auto self = std::static_pointer_cast<QLEmotionKeyboard>(weak.lock());
      if (!self) return;
      self->showRemindView(self->shouldShowRemindView());
      if (!self->manager_.packageCache().isNeedDownloadedDefaultPackages()) self->reloadData();
    });
  }
}

void QLEmotionKeyboard::clearSession() { QLEmotionKeyboardSession::shared()->setNewEmojiTimestamp(0); }

bool QLEmotionKeyboard::shouldShowRemindView() const {
  return UserDefaults::standard().doubleForKey(kTimeStampKey) < session_->newEmojiTimestamp();
}

void QLEmotionKeyboard::showRemindView(bool show) {
  const bool newer = UserDefaults::standard().doubleForKey(kTimeStampKey) > session_->newEmojiTimestamp();
  remindView_->setHidden(!show || newer);
}

void QLEmotionKeyboard::setLatestTime(double milliseconds) {
  UserDefaults& defaults = UserDefaults::standard();
  defaults.setObject(kTimeStampKey, Value(milliseconds));
  (void)defaults.synchronize();
}

// --- Groups and sections -------------------------------------------------------

bool QLEmotionKeyboard::hasDefaultPackages() const {
  return !manager_.packageCache().defaultPackages().empty();
}

bool QLEmotionKeyboard::shouldShowRecommendGroup() const {
  const auto& category = session_->recommendCategory();
  if (!category) return false;
  for (const auto& package : category->packages()) {
    if (package && !QLPackageHelper::packageWithGuid(package->guid(), manager_.packageCache())) return true;
  }
  return false;
}

std::shared_ptr<QLCategory> QLEmotionKeyboard::recommendCategory() const {
  const auto& held = session_->recommendCategory();
  if (!held) return nullptr;
  auto offered = std::make_shared<QLCategory>(*held);
  QLCategory::Packages packages;
  for (const auto& package : held->packages()) {
    if (package && !QLPackageHelper::packageWithGuid(package->guid(), manager_.packageCache()))
      packages.push_back(package);
  }
  offered->setPackages(std::move(packages));
  return offered;
}

int QLEmotionKeyboard::sectionForGroup(int group) {
  return shouldShowRecommendGroup() ? group - 1 : group;
}

std::optional<size_t> QLEmotionKeyboard::selectedSection() {
  auto ds = dataSource();
  if (!ds || !ds->indexOfSelectedSectionInKeyboard) return std::nullopt;
  const size_t index = ds->indexOfSelectedSectionInKeyboard(*this);
  const int sections = ds->numberOfSectionInKeyboard ? ds->numberOfSectionInKeyboard(*this) : 0;
  // "None" (or any answer past the last section) is the first section.
  return index < static_cast<size_t>(std::max(0, sections)) ? index : 0;
}

int QLEmotionKeyboard::numberOfGroups() {
  if (!hasDefaultPackages()) return 0;
  auto ds = dataSource();
  const int sections = ds && ds->numberOfSectionInKeyboard ? std::max(0, ds->numberOfSectionInKeyboard(*this)) : 0;
  return sections + (shouldShowRecommendGroup() ? 1 : 0);
}

int QLEmotionKeyboard::numberOfItemsAtGroup(int group) {
  const int section = sectionForGroup(group);
  auto ds = dataSource();
  if (section < 0 || !ds || !ds->numberOfItemsInSection) return 0;
  return std::max(0, ds->numberOfItemsInSection(*this, section));
}

size_t QLEmotionKeyboard::numberOfRowAtGroup(int group) {
  if (group == 0 && shouldShowRecommendGroup()) return 1;
  auto d = delegate();
  return d && d->rowsInSection ? d->rowsInSection(*this, sectionForGroup(group)) : 2;
}

size_t QLEmotionKeyboard::numberOfColumnAtGroup(int group) {
  if (group == 0 && shouldShowRecommendGroup()) return 1;
  auto d = delegate();
  return d && d->columnsInSection ? d->columnsInSection(*this, sectionForGroup(group))
                                  : 4;
}

QLGroupIndexPath QLEmotionKeyboard::selectedGroupPath() {
  auto section = selectedSection();
  if (!section) return {};
  return {static_cast<int64_t>(*section) + (shouldShowRecommendGroup() ? 1 : 0), 0};
}

bool QLEmotionKeyboard::shouldAddBackspaceAtGroup(int group) {
  const int section = group >= 1 && shouldShowRecommendGroup() ? group - 1 : group;
  auto ds = dataSource();
  return ds && ds->shouldAddBackspaceInSection &&
         ds->shouldAddBackspaceInSection(*this, section);
}

void QLEmotionKeyboard::recommendDownloadFinished() {
  // The offered packages changed: one of them is stored now.
  reloadData();
  if (!session_->recommendGroupSelected()) return;
  toolView_->selectGroup(0);
  groupView_->selectGroup(0);
}

size_t QLEmotionKeyboard::numberOfToolItems() {
  auto ds = dataSource();
  if (!hasDefaultPackages() || !ds || !ds->numberOfSectionsInKeyboard) return 0;
  const int sections = std::max(0, ds->numberOfSectionsInKeyboard(*this));
  return static_cast<size_t>(sections) + (shouldShowRecommendGroup() ? 1 : 0);
}

QLEmotionKeyboard::ImagePtr QLEmotionKeyboard::toolImageAtIndex(size_t index) {
  const bool shown = shouldShowRecommendGroup();
  if (shown && index == 0) return QLEmotionGlobal::sharedInstance().base64UIimageWithName("recommend");
  auto ds = dataSource();
  if (!ds || !ds->imageInSection) return nullptr;
  return ds->imageInSection(*this, static_cast<int>(shown ? index - 1 : index));
}

size_t QLEmotionKeyboard::selectedGroupIndex() {
  auto section = selectedSection();
  if (!section) return 0;
  return *section + (shouldShowRecommendGroup() ? 1 : 0);
}

bool QLEmotionKeyboard::shouldContainedSendButtonAtIndex(size_t section) {
  auto ds = dataSource();
  return ds && ds->shouldAddBackspaceInSection &&
         ds->shouldAddBackspaceInSection(*this, static_cast<int>(section));
}

// --- Events ------------------------------------------------------------------

void QLEmotionKeyboard::scrollToGroup(int group) {
  const bool shown = shouldShowRecommendGroup();
  // The recommended group is no section: reaching it selects no package.
  if (!(shown && group == 0)) {
    auto d = delegate();
    if (d && d->didSelectedSectionAtIndex) d->didSelectedSectionAtIndex(*this, shown ? group - 1 : group);
  }
  toolView_->selectGroup(static_cast<size_t>(std::max(0, group)));
  session_->setRecommendGroupSelected(group == 0 && shown);
}

void QLEmotionKeyboard::inputToolViewTriggerAction(int action, size_t index) {
  switch (action) {
    case kToolActionTab: {
      const bool shown = shouldShowRecommendGroup();
      session_->setRecommendGroupSelected(shown && index == 0);
      auto d = delegate();
      if (d && d->didSelectedSectionAtIndex && !(shown && index == 0))
        d->didSelectedSectionAtIndex(*this, static_cast<int>(shown ? index - 1 : index));
      groupView_->selectGroup(static_cast<int>(index));
      return;
    }
    case kToolActionAdd: {
      showRemindView(false);
      setLatestTime(static_cast<double>(WallClock::millisecondsSince1970()));
      presentShop();
      return;
    }
    case kToolActionSend: {
      auto d = delegate();
      if (d && d->triggerSendForKeyboard) d->triggerSendForKeyboard(*this);
      return;
    }
    default:
      return;
  }
}

void QLEmotionKeyboard::presentShop() {
  // A second tap while the shop is up (a double tap) presents nothing more.
  if (auto open = presentedShop_.lock(); open && open->presentingViewController()) return;
  presentedShop_ = QLShopViewController::presentShop(manager_);
}

// --- The attached input -------------------------------------------------------

std::shared_ptr<TextInput> QLEmotionKeyboard::textInput() const {
  auto view = textInputView_.lock();
  return view ? std::shared_ptr<TextInput>(view, &view->input()) : nullptr;
}

void QLEmotionKeyboard::attachToTextInput(const std::shared_ptr<TextInputView>& input) {
  if (!input) return;
  if (textInputView() != input) switchToDefaultKeyboard();
  textInputView_ = input;
  if (!overlay_) {
    // Held here, not looked up by a tag: the host may use any tag on its input.
    overlay_ = View::create(input->bounds());
    overlay_->setBackgroundColor(std::nullopt);
    // Follows the input's size through autoresizing: nothing is observed.
    overlay_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    overlay_->setAccessibilityIdentifier("overlay");
    std::weak_ptr<View> weak = weak_from_this();
    overlay_->addGestureRecognizer(TapGestureRecognizer::create([weak](GestureRecognizer&) {
      if (auto self = std::static_pointer_cast<QLEmotionKeyboard>(weak.lock())) self->tapOverlay();
    }));
    input->addSubview(overlay_);
  }
  input->setInputView(shared_from_this());
  input->reloadInputViews();
}

void QLEmotionKeyboard::switchToDefaultKeyboard() {
  auto keep = shared_from_this();
  if (overlay_) overlay_->removeFromSuperview();
  overlay_.reset();
  if (auto input = textInputView()) {
    if (input->inputView().get() == this) {
      input->setInputView(nullptr);
      input->reloadInputViews();
    }
  }
  textInputView_.reset();
}

void QLEmotionKeyboard::tapOverlay() {
  auto keep = shared_from_this();  // the input may have held the last reference
  if (auto input = textInputView()) switchToDefaultKeyboard(*input);
  if (auto d = delegate(); d && d->tapOverlayForKeyboard) d->tapOverlayForKeyboard(*this);
}

std::shared_ptr<QLEmotionKeyboard> QLEmotionKeyboard::emotionKeyboard(const View& responder) {
  return std::dynamic_pointer_cast<QLEmotionKeyboard>(responder.inputView());
}

void QLEmotionKeyboard::switchToDefaultKeyboard(const View& responder) {
  if (auto keyboard = emotionKeyboard(responder)) keyboard->switchToDefaultKeyboard();
}

bool QLEmotionKeyboard::switchToEmotionKeyboard(const std::shared_ptr<View>& responder,
                                                const std::shared_ptr<QLEmotionKeyboard>& keyboard) {
  auto input = std::dynamic_pointer_cast<TextInputView>(responder);
  if (!input || !keyboard) return false;
  keyboard->attachToTextInput(input);
  return true;
}

}  // namespace vexa
