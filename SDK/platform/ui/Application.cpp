#include "vexa/platform/ui/Application.h"

#include "vexa/platform/MainQueue.h"
#include "vexa/platform/ui/ViewController.h"
#include "vexa/platform/ui/Window.h"

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
