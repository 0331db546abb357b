#include <gtest/gtest.h>

#include "support/MainQueueTesting.h"
#include "vexa/platform/ui/View.h"
#include "vexa/platform/ui/ViewAnimation.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {
namespace {

class CountingView : public View {
 public:
  using View::View;
  int layouts = 0;
  std::vector<std::string> moves;
  void layoutSubviews() override { ++layouts; }

 protected:
  void willMoveToSuperview(View* s) override { moves.push_back(s ? "will:parent" : "will:none"); }
  void didMoveToSuperview() override { moves.push_back(superview() ? "did:parent" : "did:none"); }
  void willMoveToWindow(Window* w) override { moves.push_back(w ? "will:window" : "will:nowindow"); }
};

TEST(ViewTree, BoundsSizeKeepsCentreAndOriginScrolls) {
  auto v = View::create(Rect(10, 20, 100, 50));
  EXPECT_EQ(v->center(), (Point{60, 45}));
  v->setBounds(Rect(0, 0, 50, 30));
  EXPECT_EQ(v->frame(), Rect(35, 30, 50, 30));
  v->setBounds(Rect(5, 7, 50, 30));
  EXPECT_EQ(v->frame(), Rect(35, 30, 50, 30));
  EXPECT_EQ(v->bounds().origin, (Point{5, 7}));
  v->setCenter(Point{0, 0});
  EXPECT_EQ(v->frame(), Rect(-25, -15, 50, 30));
}

TEST(ViewTree, AddingMovesAViewBetweenParentsAndKeepsOrder) {
  auto a = View::create(), b = View::create();
  auto c1 = View::create(), c2 = View::create(), c3 = View::create();
  a->addSubview(c1);
  a->addSubview(c2);
  a->insertSubview(c3, 0);
  EXPECT_EQ(a->subviews(), (std::vector<std::shared_ptr<View>>{c3, c1, c2}));
  a->bringSubviewToFront(c3.get());
  EXPECT_EQ(a->subviews().back(), c3);
  a->sendSubviewToBack(c2.get());
  EXPECT_EQ(a->subviews().front(), c2);
  b->addSubview(c1);
  EXPECT_EQ(c1->superview(), b.get());
  EXPECT_EQ(a->subviews().size(), 2u);
  c1->removeFromSuperview();
  EXPECT_EQ(c1->superview(), nullptr);
  EXPECT_TRUE(b->subviews().empty());
}

TEST(ViewTree, ChildOutlivingParentLosesItsSuperview) {
  auto child = View::create();
  {
    auto parent = View::create();
    parent->addSubview(child);
  }
  EXPECT_EQ(child->superview(), nullptr);
}

TEST(ViewTree, MoveCallbacksComeInOrder) {
  auto window = Window::create(Rect(0, 0, 100, 100));
  auto v = std::make_shared<CountingView>();
  window->addSubview(v);
  v->removeFromSuperview();
  EXPECT_EQ(v->moves, (std::vector<std::string>{"will:parent", "will:window", "did:parent",
                                                "will:none", "will:nowindow", "did:none"}));
}

TEST(ViewTree, ViewWithTagSearchesDepthFirstIncludingItself) {
  auto root = View::create();
  auto a = View::create(), b = View::create(), deep = View::create();
  a->setTag(1);
  deep->setTag(2);
  b->setTag(2);
  root->addSubview(a);
  a->addSubview(deep);
  root->addSubview(b);
  EXPECT_EQ(root->viewWithTag(2), deep);
  EXPECT_EQ(a->viewWithTag(1), a);
  EXPECT_EQ(root->viewWithTag(9), nullptr);
}

TEST(ViewTree, ConvertsBetweenSiblingsThroughScrolledParents) {
  auto root = View::create(Rect(0, 0, 320, 480));
  auto scroller = View::create(Rect(10, 10, 200, 200));
  scroller->setBounds(Rect(0, 100, 200, 200));  // scrolled down 100
  auto inner = View::create(Rect(20, 130, 50, 50));
  auto other = View::create(Rect(100, 0, 50, 50));
  root->addSubview(scroller);
  scroller->addSubview(inner);
  root->addSubview(other);
  EXPECT_EQ(inner->convertPointToView(Point{0, 0}, nullptr), (Point{30, 40}));
  EXPECT_EQ(inner->convertPointToView(Point{5, 5}, other.get()), (Point{-65, 45}));
  EXPECT_EQ(other->convertPointFromView(Point{5, 5}, inner.get()), (Point{-65, 45}));
  EXPECT_EQ(inner->convertRectToView(inner->bounds(), root.get()), Rect(30, 40, 50, 50));
}

TEST(ViewTree, HitTestSkipsHiddenTransparentAndInertViews) {
  auto root = View::create(Rect(0, 0, 100, 100));
  auto back = View::create(Rect(0, 0, 100, 100));
  auto front = View::create(Rect(0, 0, 50, 50));
  root->addSubview(back);
  root->addSubview(front);
  EXPECT_EQ(root->hitTest(Point{10, 10}), front);
  EXPECT_EQ(root->hitTest(Point{60, 60}), back);
  EXPECT_EQ(root->hitTest(Point{100, 100}), nullptr);  // half-open rects
  front->setHidden(true);
  EXPECT_EQ(root->hitTest(Point{10, 10}), back);
  front->setHidden(false);
  front->setAlpha(0.001);
  EXPECT_EQ(root->hitTest(Point{10, 10}), back);
  front->setAlpha(1);
  front->setUserInteractionEnabled(false);
  EXPECT_EQ(root->hitTest(Point{10, 10}), back);
}

struct ResizeCase {
  unsigned mask;
  Rect expected;
};

TEST(ViewTree, AutoresizingSpreadsTheChangeOverFlexibleParts) {
  // Parent grows from 100 x 100 to 200 x 150; child at (35, 30, 30, 40).
  const ResizeCase cases[] = {
      {AutoresizingNone, Rect(35, 30, 30, 40)},
      {AutoresizingFlexibleWidth, Rect(35, 30, 130, 40)},
      {AutoresizingFlexibleLeftMargin, Rect(135, 30, 30, 40)},
      {AutoresizingFlexibleWidth | AutoresizingFlexibleHeight, Rect(35, 30, 130, 90)},
      {AutoresizingFlexibleTopMargin | AutoresizingFlexibleBottomMargin, Rect(35, 55, 30, 40)},
      {AutoresizingFlexibleLeftMargin | AutoresizingFlexibleRightMargin, Rect(85, 30, 30, 40)},
      {AutoresizingFlexibleLeftMargin | AutoresizingFlexibleWidth | AutoresizingFlexibleRightMargin,
       Rect(70, 30, 60, 40)},
  };
  for (const auto& c : cases) {
    auto parent = View::create(Rect(0, 0, 100, 100));
    auto child = View::create(Rect(35, 30, 30, 40));
    child->setAutoresizingMask(c.mask);
    parent->addSubview(child);
    parent->setFrame(Rect(0, 0, 200, 150));
    EXPECT_EQ(child->frame(), c.expected) << "mask " << c.mask;
  }
}

TEST(ViewTree, LayoutPassRunsOnlyForMarkedViewsTopDown) {
  auto root = std::make_shared<CountingView>(Rect(0, 0, 100, 100));
  auto child = std::make_shared<CountingView>(Rect(0, 0, 10, 10));
  root->addSubview(child);
  root->layoutIfNeeded();
  EXPECT_EQ(root->layouts, 1);
  EXPECT_EQ(child->layouts, 1);
  root->layoutIfNeeded();
  EXPECT_EQ(root->layouts, 1);
  child->setNeedsLayout();
  root->layoutIfNeeded();
  EXPECT_EQ(root->layouts, 1);
  EXPECT_EQ(child->layouts, 2);
  child->setFrame(Rect(0, 0, 20, 20));  // a new size asks for layout
  root->layoutIfNeeded();
  EXPECT_EQ(child->layouts, 3);
  child->setFrame(Rect(5, 5, 20, 20));  // a move does not
  root->layoutIfNeeded();
  EXPECT_EQ(child->layouts, 3);
}

TEST(ViewTree, WindowRunsTheLayoutPassOnTheMainQueue) {
  auto window = Window::create(Rect(0, 0, 100, 100));
  auto v = std::make_shared<CountingView>(Rect(0, 0, 10, 10));
  window->addSubview(v);
  EXPECT_EQ(v->layouts, 0);
  EXPECT_TRUE(test::runUntil([&] { return v->layouts == 1; }));
  v->setNeedsLayout();
  v->setNeedsLayout();
  test::spin();
  EXPECT_EQ(v->layouts, 2);
}

TEST(ViewAnimationTest, AppliesAtOnceRecordsAndCompletesLater) {
  auto v = View::create(Rect(0, 0, 10, 10));
  bool done = false;
  ViewAnimation::animate(0.25, 0.1, AnimationCurve::EaseOut, [&] { v->setAlpha(0.5); },
                         [&](bool finished) { done = finished; });
  EXPECT_DOUBLE_EQ(v->alpha(), 0.5);
  ASSERT_TRUE(v->lastAnimation().has_value());
  EXPECT_EQ(*v->lastAnimation(), (AnimationRecord{0.25, 0.1, AnimationCurve::EaseOut}));
  EXPECT_FALSE(done);  // completions never run inside the call
  EXPECT_TRUE(test::runUntil([&] { return done; }));
  EXPECT_FALSE(ViewAnimation::current().has_value());
  auto other = View::create();
  other->setAlpha(0.3);
  EXPECT_FALSE(other->lastAnimation().has_value());
}

}  // namespace
}  // namespace vexa
