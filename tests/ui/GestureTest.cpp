#include <gtest/gtest.h>

#include "vexa/platform/ui/Button.h"
#include "vexa/platform/ui/LongPressGestureRecognizer.h"
#include "vexa/platform/ui/PanGestureRecognizer.h"
#include "vexa/platform/ui/TableView.h"
#include "vexa/platform/ui/TapGestureRecognizer.h"
#include "vexa/platform/ui/Window.h"

namespace vexa {
namespace {

using S = GestureRecognizerState;
using E = GestureEvent;

struct Row {
  S state;
  E event;
  S next;
};

TEST(GestureTables, TapRows) {
  TapGestureRecognizer tap;
  const Row rows[] = {
      {S::Possible, E::TouchDown, S::Possible},   {S::Possible, E::MoveWithin, S::Possible},
      {S::Possible, E::MoveBeyond, S::Failed},    {S::Possible, E::TouchUp, S::Ended},
      {S::Possible, E::HoldElapsed, S::Possible}, {S::Possible, E::TouchCancelled, S::Failed},
      {S::Failed, E::TouchUp, S::Failed},         {S::Ended, E::TouchDown, S::Ended},
  };
  for (const auto& r : rows)
    EXPECT_EQ(tap.next(r.state, r.event), r.next)
        << static_cast<int>(r.state) << " + " << static_cast<int>(r.event);
}

TEST(GestureTables, LongPressRows) {
  LongPressGestureRecognizer press;
  const Row rows[] = {
      {S::Possible, E::TouchDown, S::Possible},  {S::Possible, E::MoveWithin, S::Possible},
      {S::Possible, E::MoveBeyond, S::Failed},   {S::Possible, E::TouchUp, S::Failed},
      {S::Possible, E::HoldElapsed, S::Began},   {S::Possible, E::TouchCancelled, S::Failed},
      {S::Began, E::MoveWithin, S::Changed},     {S::Began, E::MoveBeyond, S::Changed},
      {S::Began, E::TouchUp, S::Ended},          {S::Began, E::TouchCancelled, S::Cancelled},
      {S::Began, E::HoldElapsed, S::Began},      {S::Changed, E::MoveWithin, S::Changed},
      {S::Changed, E::TouchUp, S::Ended},        {S::Changed, E::TouchCancelled, S::Cancelled},
      {S::Ended, E::TouchDown, S::Ended},        {S::Failed, E::HoldElapsed, S::Failed},
  };
  for (const auto& r : rows)
    EXPECT_EQ(press.next(r.state, r.event), r.next)
        << static_cast<int>(r.state) << " + " << static_cast<int>(r.event);
}

TEST(GestureTables, PanRows) {
  PanGestureRecognizer pan;
  const Row rows[] = {
      {S::Possible, E::TouchDown, S::Possible},  {S::Possible, E::MoveWithin, S::Possible},
      {S::Possible, E::MoveBeyond, S::Began},    {S::Possible, E::TouchUp, S::Failed},
      {S::Possible, E::HoldElapsed, S::Possible}, {S::Possible, E::TouchCancelled, S::Failed},
      {S::Began, E::MoveWithin, S::Changed},     {S::Began, E::MoveBeyond, S::Changed},
      {S::Began, E::TouchUp, S::Ended},          {S::Changed, E::TouchCancelled, S::Cancelled},
      {S::Changed, E::HoldElapsed, S::Changed},  {S::Failed, E::MoveBeyond, S::Failed},
  };
  for (const auto& r : rows)
    EXPECT_EQ(pan.next(r.state, r.event), r.next)
        << static_cast<int>(r.state) << " + " << static_cast<int>(r.event);
}

class TrackingView : public View {
 public:
  using View::View;
  std::vector<std::string> events;
  void touchesBegan(const Touch&) override { events.push_back("began"); }
  void touchesMoved(const Touch&) override { events.push_back("moved"); }
  void touchesEnded(const Touch&) override { events.push_back("ended"); }
  void touchesCancelled(const Touch&) override { events.push_back("cancelled"); }
};

struct Scene {
  std::shared_ptr<Window> window = Window::create(Rect(0, 0, 200, 200));
  std::shared_ptr<TrackingView> view = std::make_shared<TrackingView>(Rect(50, 50, 100, 100));
  Scene() { window->addSubview(view); }
  TouchDispatcher& touches() { return window->touches(); }
};

TEST(GestureDispatch, LongPressReportsBeganChangedEndedAndCancelsTheViewTouch) {
  Scene s;
  auto press = LongPressGestureRecognizer::create();
  std::vector<S> states;
  Point where;
  press->addAction([&](GestureRecognizer& r) {
    states.push_back(r.state());
    where = r.locationInView(s.view.get());
  });
  s.view->addGestureRecognizer(press);
  s.touches().touchDown(Point{60, 60}, 1.0);
  s.touches().advanceTime(1.4);
  EXPECT_TRUE(states.empty());
  s.touches().advanceTime(1.5);
  EXPECT_EQ(states, std::vector<S>{S::Began});
  EXPECT_EQ(where, (Point{10, 10}));
  s.touches().touchMove(Point{90, 60}, 1.6);
  s.touches().touchUp(Point{90, 60}, 1.7);
  EXPECT_EQ(states, (std::vector<S>{S::Began, S::Changed, S::Ended}));
  EXPECT_EQ(s.view->events, (std::vector<std::string>{"began", "cancelled"}));
  EXPECT_EQ(press->state(), S::Possible);  // ready for the next touch
}

TEST(GestureDispatch, ShortPressFailsAndTheViewSeesTheWholeTouch) {
  Scene s;
  auto press = LongPressGestureRecognizer::create();
  int calls = 0;
  press->addAction([&](GestureRecognizer&) { ++calls; });
  s.view->addGestureRecognizer(press);
  s.touches().touchDown(Point{60, 60}, 0);
  s.touches().touchMove(Point{62, 60}, 0.1);
  s.touches().touchUp(Point{62, 60}, 0.2);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(s.view->events, (std::vector<std::string>{"began", "moved", "ended"}));
}

TEST(GestureDispatch, MovingAwayBeforeTheHoldFailsTheLongPress) {
  Scene s;
  auto press = LongPressGestureRecognizer::create();
  int calls = 0;
  press->addAction([&](GestureRecognizer&) { ++calls; });
  s.view->addGestureRecognizer(press);
  s.touches().touchDown(Point{60, 60}, 0);
  s.touches().touchMove(Point{80, 60}, 0.2);
  s.touches().advanceTime(2);
  s.touches().touchUp(Point{80, 60}, 2);
  EXPECT_EQ(calls, 0);
}

TEST(GestureDispatch, TapWaitsForTheLongPressItRequiresToFail) {
  Scene s;
  auto press = LongPressGestureRecognizer::create();
  auto tap = TapGestureRecognizer::create();
  std::vector<std::string> log;
  press->addAction([&](GestureRecognizer& r) { log.push_back("press:" + std::to_string(int(r.state()))); });
  tap->addAction([&](GestureRecognizer&) { log.push_back("tap"); });
  tap->requireGestureRecognizerToFail(press);
  s.view->addGestureRecognizer(tap);
  s.view->addGestureRecognizer(press);

  s.touches().tap(Point{60, 60}, 0);  // short: the press fails, the tap goes through
  EXPECT_EQ(log, std::vector<std::string>{"tap"});

  log.clear();
  s.touches().press(Point{60, 60}, 10, 0.6);  // long: the press wins, the tap fails
  EXPECT_EQ(log, (std::vector<std::string>{"press:1", "press:3"}));
}

TEST(GestureDispatch, RecognisersOfAncestorsSeeTouchesOfSubviews) {
  Scene s;
  auto child = std::make_shared<TrackingView>(Rect(0, 0, 20, 20));
  s.view->addSubview(child);
  int taps = 0;
  s.view->addGestureRecognizer(TapGestureRecognizer::create([&](GestureRecognizer&) { ++taps; }));
  s.touches().tap(Point{55, 55}, 0);
  EXPECT_EQ(taps, 1);
  EXPECT_EQ(child->events, (std::vector<std::string>{"began", "cancelled"}));
  // A disabled recogniser is not asked.
  s.view->gestureRecognizers().front()->setEnabled(false);
  s.touches().tap(Point{55, 55}, 1);
  EXPECT_EQ(taps, 1);
}

TEST(GestureDispatch, NothingHitMeansNoTouch) {
  Scene s;
  EXPECT_FALSE(s.touches().touchDown(Point{500, 500}, 0));
  EXPECT_FALSE(s.touches().isTracking());
}

TEST(ButtonTouches, TouchUpInsideOnlyWhenReleasedInside) {
  auto window = Window::create(Rect(0, 0, 200, 200));
  auto button = Button::create(Rect(10, 10, 80, 40));
  window->addSubview(button);
  int inside = 0, outside = 0;
  button->addAction(ControlEventTouchUpInside, [&](Control&) { ++inside; });
  button->addAction(ControlEventTouchUpOutside, [&](Control&) { ++outside; });
  window->touches().tap(Point{20, 20}, 0);
  EXPECT_EQ(inside, 1);
  window->touches().touchDown(Point{20, 20}, 1);
  EXPECT_TRUE(button->isHighlighted());
  window->touches().touchMove(Point{150, 150}, 1.1);
  EXPECT_FALSE(button->isHighlighted());
  window->touches().touchUp(Point{150, 150}, 1.2);
  EXPECT_EQ(inside, 1);
  EXPECT_EQ(outside, 1);
  button->setEnabled(false);
  window->touches().tap(Point{20, 20}, 2);
  EXPECT_EQ(inside, 1);
}

// Rows of 44 points, each with a button; the table shows four and a half.
struct ButtonTable {
  std::shared_ptr<Window> window = Window::create(Rect(0, 0, 320, 200));
  std::shared_ptr<TableView> table = TableView::create(Rect(0, 0, 320, 200));
  std::shared_ptr<TableViewDataSource> source = std::make_shared<TableViewDataSource>();
  std::vector<std::string> events;

  ButtonTable() {
    source->numberOfRowsInSection = [](TableView&, int) { return 20; };
    source->cellForRowAtIndexPath = [this](TableView&, const IndexPath&) {
      auto cell = TableViewCell::create();
      auto button = Button::create(Rect(10, 4, 100, 36));
      button->addAction(ControlEventTouchDown, [this](Control&) { events.push_back("down"); });
      button->addAction(ControlEventTouchUpInside, [this](Control&) { events.push_back("up-inside"); });
      button->addAction(ControlEventTouchCancel, [this](Control&) { events.push_back("cancel"); });
      cell->contentView()->addSubview(button);
      return cell;
    };
    table->setDataSource(source);
    window->addSubview(table);
    window->layoutIfNeeded();
  }
};

TEST(DragHandOff, ADragStartingOnAButtonInACellScrollsTheTableAndNoActionFires) {
  ButtonTable s;
  auto& touches = s.window->touches();
  touches.touchDown(Point{50, 150}, 0);
  touches.touchMove(Point{50, 145}, 0.05);  // within the threshold: still the button's
  EXPECT_EQ(s.events, std::vector<std::string>{"down"});
  touches.touchMove(Point{50, 100}, 0.1);
  touches.touchMove(Point{50, 50}, 0.2);
  touches.touchUp(Point{50, 50}, 0.3);
  EXPECT_EQ(s.table->contentOffset(), (Point{0, 100}));
  EXPECT_EQ(s.events, (std::vector<std::string>{"down", "cancel"}));
  // A tap on a button still is one.
  s.events.clear();
  s.window->layoutIfNeeded();
  touches.tap(Point{50, 150}, 1);
  EXPECT_EQ(s.events, (std::vector<std::string>{"down", "up-inside"}));
}

TEST(DragHandOff, AScrollViewThatCannotMoveAlongTheDragLeavesItToItsAncestor) {
  auto window = Window::create(Rect(0, 0, 200, 200));
  auto outer = ScrollView::create(Rect(0, 0, 200, 200));
  outer->setContentSize(Size{200, 1000});
  auto inner = ScrollView::create(Rect(0, 50, 200, 100));  // pages sideways only
  inner->setContentSize(Size{600, 100});
  inner->setPagingEnabled(true);
  outer->addSubview(inner);
  window->addSubview(outer);
  auto& touches = window->touches();

  touches.touchDown(Point{100, 140}, 0);
  touches.touchMove(Point{104, 80}, 0.1);  // mostly upwards
  touches.touchUp(Point{104, 80}, 0.2);
  EXPECT_EQ(outer->contentOffset(), (Point{0, 60}));
  EXPECT_EQ(inner->contentOffset(), (Point{0, 0}));

  touches.touchDown(Point{150, 60}, 1);  // the inner view now spans y -10 to 90
  touches.touchMove(Point{40, 55}, 1.1);  // sideways: the inner view's own drag
  touches.touchUp(Point{40, 55}, 1.2);
  EXPECT_EQ(inner->contentOffset(), (Point{200, 0}));
  EXPECT_EQ(outer->contentOffset(), (Point{0, 60}));

  inner->setScrollEnabled(false);  // a disabled scroll view hands every drag on
  touches.touchDown(Point{100, 40}, 2);
  touches.touchMove(Point{100, 10}, 2.1);
  touches.touchUp(Point{100, 10}, 2.2);
  EXPECT_EQ(outer->contentOffset(), (Point{0, 90}));
}

TEST(ButtonState, ValuesFallBackToNormal) {
  auto button = Button::create(Rect(0, 0, 100, 40));
  button->setTitle("发送");
  button->setTitle("选中", ControlStateSelected);
  button->setTitleColor(Color::black());
  EXPECT_EQ(button->currentTitle(), "发送");
  button->setSelected(true);
  EXPECT_EQ(button->currentTitle(), "选中");
  EXPECT_EQ(button->titleColorForState(ControlStateSelected), Color::black());
  EXPECT_EQ(button->titleForState(ControlStateHighlighted), "发送");
}

}  // namespace
}  // namespace vexa
