#include "HostScene.h"

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/NotificationCenter.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/ui/Application.h"
#include "vexa/theme/QLEmotionGlobal.h"
#include "service/EmoticonService.h"
#include "vexa/shop/QLShopViewController.h"
#include "vexa/store/QLPackageCache.h"
#include "vexa/text/QLTextImageHelper.h"

namespace vexa::tool::ui {

namespace {
constexpr const char* kHostUserId = "vexa-ui-user";
// Screens this wide or wider are laid out as a pad's.
constexpr double kPadWidth = 768;
const Color kBrandColor = Color::rgb255(26, 173, 25);
}  // namespace

HostScene::HostScene(const Options& options, EventSink events)
    : options_(options), events_(std::move(events)) {}

HostScene::~HostScene() {
  // The window and the screens go before the service they may still talk to.
  observations_.clear();
  if (window_ && window_->isKeyWindow()) Application::shared().setKeyWindow(nullptr);
  window_.reset();
  navigation_.reset();
  chat_.reset();
}

Result<std::unique_ptr<HostScene>> HostScene::open(const GlobalOptions& globals, const Options& options,
                                                   EventSink events) {
  std::unique_ptr<HostScene> scene(new HostScene(options, std::move(events)));
  if (Status configured = scene->configure(globals); !configured.ok()) return configured.error();
  scene->buildWindow();
  scene->observeNotifications();
  return scene;
}

Status HostScene::configure(const GlobalOptions& globals) {
  // The embedded service keeps its sample catalogue under --home, as the demo's does.
  applyHome(globals);
  auto connection = connectService(globals, kHostUserId);
  if (!connection) return connection.error();
  connection_ = std::move(*connection);
  if (Status configured = configureSdk(connection_.options); !configured.ok()) return configured;

  // The host hears of every choice the user makes.
  delegate_ = std::make_shared<VXEmotionCentreDelegate>();
  auto emojiEvent = [this](const char* name) {
    return [this, name](const std::shared_ptr<VXEmoji>& emoji) {
      events_(name, Value::dict({{"emoji", emoji ? emojiJson(*emoji) : Value()}}));
    };
  };
  delegate_->didSelectEmoji = emojiEvent("didSelectEmoji");
  delegate_->didSelectTipEmoji = emojiEvent("didSelectTipEmoji");
  delegate_->didSendWithInput = [this](TextInput& input) {
    events_("didSendWithInput",
            Value::dict({{"plain", QLTextImageHelper::pureTextFromAttributeText(input.attributedText())}}));
  };
  delegate_->tapOverlay = [this] { events_("tapOverlay", Value()); };
  auto& centre = VXEmotionCentre::defaultCentre();
  centre.setDelegate(delegate_);
  centre.setSupportedMixedTextImage(options_.mixed);
  return Status::Ok();
}

void HostScene::buildWindow() {
  Rect bounds(0, 0, options_.size.width, options_.size.height);
  bool pad = std::min(bounds.width(), bounds.height()) >= kPadWidth;
  Screen::setMain(Screen{bounds, options_.scale, pad ? UserInterfaceIdiom::Pad : UserInterfaceIdiom::Phone});
  chat_ = std::make_shared<ChatViewController>();
  navigation_ = std::make_shared<NavigationController>(chat_);
  // The host's own look: a dark bar with its brand colour on the items.
  const VXTheme& theme = *QLEmotionGlobal::sharedInstance().theme();
  auto bar = navigation_->navigationBar();
  bar->setBarTintColor(theme.navigationBarColor());
  bar->setTintColor(kBrandColor);
  bar->setTitleTextColor(theme.navigationBarTintColor());
  bar->setTitleFont(theme.navigationTitleFont());
  window_ = Window::create(bounds);
  window_->setBackgroundColor(Color::whiteColor());
  window_->setRootViewController(navigation_);
  window_->makeKeyAndVisible();
  window_->layoutIfNeeded();
}

void HostScene::observeNotifications() {
  auto& center = NotificationCenter::defaultCenter();
  // The store may post from the thread that stored the package; events are
  // written on the main thread, in order with the others.
  auto packageEvent = [this](const char* name) {
    return [events = events_, name](const Notification& n) {
      const Value* guid = n.userInfo.find(kQLEmotionPackageGuidKey);
      Value fields = Value::dict({{"guid", guid ? *guid : Value("")}});
      if (isMainThread()) {
        events(name, fields);
      } else {
        // A copy of the sink: the scene may be gone by then.
        MainQueue::shared().async([events, name, fields] { events(name, fields); });
      }
    };
  };
  observations_.push_back(center.addObserver(kQLEmotionPackageAddNotification, packageEvent("packageAdded")));
  observations_.push_back(center.addObserver(kQLEmotionPackageRemoveNotification, packageEvent("packageRemoved")));
  observations_.push_back(
      center.addObserver(kQLEmotionDismissShopNotification, [this](const Notification&) { events_("dismissShop", Value()); }));
}

void HostScene::present(std::shared_ptr<ViewController> screen) {
  auto top = Application::shared().topViewController();
  if (!top) top = navigation_;
  top->presentViewController(std::move(screen), true);
}

}  // namespace vexa::tool::ui
