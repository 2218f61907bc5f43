// Selection as in a layout editor, over the board's items as the scene shows them:
//   click: that item alone (a click on nothing clears the selection);
//   Ctrl+click: that item turned on or off, the rest kept;
//   drag a rectangle: what it wholly encloses, alone; with Ctrl added to the rest;
//   Ctrl+A: everything; Esc: nothing.
// A selection is one flag per item of the board, in the file's order.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "BoardScene.h"

namespace standin::boardview {

using Selection = std::vector<bool>;

Selection SelectionOf(const std::vector<Item>& items);
std::size_t CountSelected(const Selection& selection);

Selection Click(const Selection& current, std::optional<std::size_t> hit, bool control);
Selection SelectRectangle(const Selection& current, const std::vector<Shape>& scene, const Box& box,
                          bool control);
Selection SelectAll(const Selection& current);
Selection SelectNone(const Selection& current);

// The left button from press to release: a press and release within a few pixels is a click at
// the press; a drag beyond them is a rectangle from the press to the pointer. Points are kept in
// board coordinates, so that the rectangle stays on the board while the view zooms or pans.
class PointerGesture {
 public:
  static constexpr double kDragPixels = 4;

  struct Outcome {
    enum class Kind { Click, Rectangle } kind = Kind::Click;
    Point at;  // the click's place
    Box box;   // the rectangle
    bool control = false;
  };

  void Press(Point client, Point board, bool control);
  // True when the rectangle is to be drawn again.
  bool Move(Point client, Point board);
  // The gesture that ended, if one was under way.
  std::optional<Outcome> Release(Point client, Point board);
  void Cancel() { active_ = false; }

  bool Active() const { return active_; }
  // While a rectangle is being dragged: the rectangle in board coordinates.
  std::optional<Box> Rubber() const;

 private:
  bool active_ = false;
  bool dragging_ = false;
  bool control_ = false;
  Point pressClient_, pressBoard_, lastBoard_;
};

}  // namespace standin::boardview
