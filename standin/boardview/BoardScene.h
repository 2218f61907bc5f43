// What the board view draws, in board coordinates (database units, Y up): each component's body
// turned by its rotation about its origin, and a marker for every other item. Hit-testing and the
// rectangle rule work on the same shapes, so what a click finds is what the window shows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Board.h"

namespace standin::boardview {

struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// An axis-aligned box; empty until a point is added.
struct Box {
  double left = 0, bottom = 0, right = 0, top = 0;
  bool empty = true;

  void Add(Point point);
  void Add(const Box& box);
  double Width() const { return empty ? 0 : right - left; }
  double Height() const { return empty ? 0 : top - bottom; }
  bool Contains(Point point) const;
  // The box whose opposite corners are a and b.
  static Box Spanning(Point a, Point b);
};

// The body a component gets when its line gives none: a typical package for the designator's
// prefix (its leading letters, whatever their case), e.g. R and C chip parts, D a SOD-123 diode
// or LED, U a SOIC; a designator without letters gets a small square, like a test point.
BodySize DefaultBody(std::string_view refDes);

// Other items have no place in the board file: their markers stand in a row below the board,
// this far apart and this far below the lowest body.
inline constexpr double kMarkerPitch = 400 * 2540.0;

struct Shape {
  std::size_t item = 0;  // index in the board's items
  bool isComponent = true;
  std::string label;               // designator, or "item <type>"
  Point origin;                    // the component's origin, or the marker's place
  std::array<Point, 4> corners{};  // body outline, counter-clockwise; all at origin for a marker
  Point axis{1, 0};                // unit vector along the body's width
  double halfWidth = 0, halfHeight = 0;
  Box bounds;
  double area = 0;
};

// The shapes of a board's items, in drawing order: larger bodies first, so that a small part on a
// large one is drawn over it; markers last. Ties keep the file's order.
std::vector<Shape> BuildScene(const std::vector<Item>& items);

// The box around every shape (markers included).
Box SceneBounds(const std::vector<Shape>& scene);

// The item under a board point: the topmost shape (last in drawing order) whose body, widened by
// tolerance on every side, contains the point; a marker counts within markerRadius + tolerance of
// its place. Both radii are in database units (the window turns its pixels into them).
std::optional<std::size_t> HitTest(const std::vector<Shape>& scene, Point point, double tolerance,
                                   double markerRadius);

// The items whose whole body (a marker: its place) lies inside the box, in drawing order.
std::vector<std::size_t> Enclosed(const std::vector<Shape>& scene, const Box& box);

}  // namespace standin::boardview
