#include "platform/ui/Application.h"

#include "platform/MainQueue.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace vexa {

Application& Application::shared() {
  static Application* app = new Application();  // never destroyed, like the platform's
  return *app;
}

std::shared_ptr<ViewController> Application::topViewController() const {
  auto window = keyWindow();
  if (!window) return nullptr;
  return ViewController::topViewControllerFrom(window->rootViewController());
}

}  // namespace vexa
