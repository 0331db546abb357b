// The host chat scene of `vexa ui`, built as a chat app builds it: a key
// window of the given size (the main screen follows it), a navigation stack
// whose root is the chat screen with its input bar, and the SDK's centre
// configured like every other command (the embedded reference service
// unless --api). The scene is the centre's delegate, implements every
// delegate operation, and reports each call and each package or shop
// notification as an event. A desktop host may show the same scene.
// Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "ChatViewController.h"
#include "ToolContext.h"
#include "ToolSdk.h"
#include "vexa/core/VXEmotionCentreDelegate.h"
#include "vexa/platform/Result.h"
#include "vexa/platform/Value.h"
#include "vexa/platform/ui/NavigationController.h"
#include "vexa/platform/ui/Window.h"

namespace vexa::tool::ui {

class HostScene {
 public:
  struct Options {
    Size size{375, 667};
    double scale = 2;
    bool mixed = true;  // supportedMixedTextImage
  };
  // Receives each event: its name and its fields (a dictionary or null).
  using EventSink = std::function<void(const std::string& name, const Value& fields)>;

  static Result<std::unique_ptr<HostScene>> open(const GlobalOptions& globals, const Options& options,
                                                 EventSink events);
  ~HostScene();
  HostScene(const HostScene&) = delete;
  HostScene& operator=(const HostScene&) = delete;

  Window& window() { return *window_; }
  double scale() const { return options_.scale; }
  ChatViewController& chat() { return *chat_; }
  const std::shared_ptr<TextAreaView>& input() const { return chat_->input(); }
  // Shows a screen over the chat, from the top controller, as the host
  // app would present one of the SDK's screens.
  void present(std::shared_ptr<ViewController> screen);
  // The embedded service, or nullptr with --api.
  service::EmoticonService* embeddedService() const { return connection_.embedded.get(); }

 private:
  HostScene(const Options& options, EventSink events);
  Status configure(const GlobalOptions& globals);
  void buildWindow();
  void observeNotifications();

  Options options_;
  EventSink events_;
  ServiceConnection connection_;
  std::shared_ptr<VXEmotionCentreDelegate> delegate_;
  std::shared_ptr<ChatViewController> chat_;
  std::shared_ptr<NavigationController> navigation_;
  std::shared_ptr<Window> window_;
  std::vector<Subscription> observations_;
};

}  // namespace vexa::tool::ui
