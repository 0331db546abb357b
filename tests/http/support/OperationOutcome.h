// Records what an operation reported, and where, for tests.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/http/QLHTTPRequestOperation.h"
#include "vexa/platform/MainQueue.h"
#include "support/MainQueueTesting.h"

namespace vexa::test {

struct OperationOutcome {
  int successes = 0;
  int failures = 0;
  bool onMainThread = true;
  Value object;
  std::optional<Error> error;
  std::vector<std::string> events;  // "progress", "success", "failure"

  int calls() const { return successes + failures; }

  // Installs success and failure functions that fill a new outcome. The
  // functions point at the outcome: keep it alive until they have run.
  static std::shared_ptr<OperationOutcome> attach(const QLHTTPRequestOperation::Ptr& op) {
    auto outcome = std::make_shared<OperationOutcome>();
    op->setCompletionBlockWithSuccess(outcome->success(), outcome->failure());
    return outcome;
  }
  QLHTTPRequestOperation::Success success() {
    return [this](const QLHTTPRequestOperation::Ptr&, const Value& v) {
      ++successes;
      object = v;
      onMainThread = onMainThread && isMainThread();
      events.push_back("success");
    };
  }
  QLHTTPRequestOperation::Failure failure() {
    return [this](const QLHTTPRequestOperation::Ptr&, const Error& e) {
      ++failures;
      error = e;
      onMainThread = onMainThread && isMainThread();
      events.push_back("failure");
    };
  }
  // Runs the main queue until the outcome is in (and a little longer, so a
  // second call would be seen).
  bool wait(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    bool done = runUntil([this] { return calls() > 0; }, timeout);
    spin(std::chrono::milliseconds(30));
    return done;
  }
};

}  // namespace vexa::test
