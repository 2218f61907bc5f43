#include "Selection.h"

#include <algorithm>
#include <cmath>

namespace standin::boardview {

Selection SelectionOf(const std::vector<Item>& items) {
  Selection selection(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    selection[i] = items[i].selected;
  }
  return selection;
}

std::size_t CountSelected(const Selection& selection) {
  return static_cast<std::size_t>(std::count(selection.begin(), selection.end(), true));
}

Selection Click(const Selection& current, std::optional<std::size_t> hit, bool control) {
  const std::size_t index = hit.value_or(current.size());  // past the end: nothing hit
  Selection next = control ? current : Selection(current.size(), false);
  if (index < next.size()) {
    next[index] = control ? !current[index] : true;
  }
  return next;
}

Selection SelectRectangle(const Selection& current, const std::vector<Shape>& scene, const Box& box,
                          bool control) {
  Selection next = control ? current : Selection(current.size(), false);
  for (const std::size_t item : Enclosed(scene, box)) {
    if (item < next.size()) {
      next[item] = true;
    }
  }
  return next;
}

Selection SelectAll(const Selection& current) {
  return Selection(current.size(), true);
}

Selection SelectNone(const Selection& current) {
  return Selection(current.size(), false);
}

void PointerGesture::Press(Point client, Point board, bool control) {
  active_ = true;
  dragging_ = false;
  control_ = control;
  pressClient_ = client;
  pressBoard_ = lastBoard_ = board;
}

bool PointerGesture::Move(Point client, Point board) {
  if (!active_) {
    return false;
  }
  if (!dragging_ &&
      std::hypot(client.x - pressClient_.x, client.y - pressClient_.y) > kDragPixels) {
    dragging_ = true;
  }
  lastBoard_ = board;
  return dragging_;
}

std::optional<PointerGesture::Outcome> PointerGesture::Release(Point client, Point board) {
  if (!active_) {
    return std::nullopt;
  }
  Move(client, board);
  active_ = false;
  Outcome outcome;
  outcome.control = control_;
  if (dragging_) {
    outcome.kind = Outcome::Kind::Rectangle;
    outcome.box = Box::Spanning(pressBoard_, lastBoard_);
  } else {
    outcome.at = pressBoard_;
  }
  return outcome;
}

std::optional<Box> PointerGesture::Rubber() const {
  if (!active_ || !dragging_) {
    return std::nullopt;
  }
  return Box::Spanning(pressBoard_, lastBoard_);
}

}  // namespace standin::boardview
