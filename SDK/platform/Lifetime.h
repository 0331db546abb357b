// Tells late callbacks whether the object that scheduled them still exists.
//
// The owner holds a Lifetime member, which ends with it; a callback captures
// token() and checks expired() before it touches the owner. A copy of an
// owner is another object and gets a lifetime of its own. Tokens may be
// copied and checked on any thread, but a check does not keep the owner
// alive: an owner used off the main thread must end that work itself before
// it goes.
#pragma once

#include <memory>

namespace vexa {

class Lifetime {
 public:
  class Token {
   public:
    Token() = default;  // expired from the start
    bool expired() const { return state_.expired(); }

   private:
    friend class Lifetime;
    explicit Token(std::weak_ptr<const void> state) : state_(std::move(state)) {}
    std::weak_ptr<const void> state_;
  };

  Lifetime() = default;
  Lifetime(const Lifetime&) : Lifetime() {}
  Lifetime& operator=(const Lifetime&) { return *this; }

  Token token() const { return Token(state_); }

 private:
  std::shared_ptr<const int> state_ = std::make_shared<const int>(0);
};

}  // namespace vexa
