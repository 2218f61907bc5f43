#include "BoardScene.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

namespace standin::boardview {

void Box::Add(Point point) {
  if (empty) {
    left = right = point.x;
    bottom = top = point.y;
    empty = false;
    return;
  }
  left = std::min(left, point.x);
  right = std::max(right, point.x);
  bottom = std::min(bottom, point.y);
  top = std::max(top, point.y);
}

void Box::Add(const Box& box) {
  if (!box.empty) {
    Add(Point{box.left, box.bottom});
    Add(Point{box.right, box.top});
  }
}

bool Box::Contains(Point point) const {
  return !empty && point.x >= left && point.x <= right && point.y >= bottom && point.y <= top;
}

Box Box::Spanning(Point a, Point b) {
  Box box;
  box.Add(a);
  box.Add(b);
  return box;
}

namespace {

constexpr std::int32_t kDbPerMil = 2540;

struct PrefixBody {
  const char* prefix;  // upper case
  std::int32_t widthMils, heightMils;
};

// Typical packages; the first row whose prefix equals the designator's letters wins.
constexpr PrefixBody kBodies[] = {
    {"R", 126, 63},    // 1206 chip resistor
    {"C", 80, 50},     // 0805 chip capacitor
    {"D", 140, 70},    // SOD-123 diode, chip LED
    {"LED", 140, 70},  //
    {"L", 160, 120},   // power inductor
    {"FB", 80, 50},    // ferrite bead, 0805
    {"F", 126, 63},    // fuse, 1206
    {"Q", 116, 94},    // SOT-23
    {"U", 340, 155},   // SOIC-14 body
    {"IC", 340, 155},  //
    {"J", 400, 100},   // pin header
    {"P", 400, 100},   //
    {"CN", 400, 100},  //
    {"SW", 240, 240},  // tactile switch
    {"Y", 200, 80},    // crystal
    {"X", 200, 80},    //
    {"TP", 60, 60},    // test point
};
constexpr PrefixBody kOtherLetters = {"", 100, 100};
constexpr PrefixBody kNoLetters = {"", 60, 60};

BodySize InDbUnits(const PrefixBody& body) {
  return {body.widthMils * kDbPerMil, body.heightMils * kDbPerMil};
}

// A component's body: a w x h box centred on its origin, turned counter-clockwise by the
// rotation in tenths of a degree.
void PlaceBody(Shape& shape, BodySize body, std::int32_t rotation) {
  const std::int32_t turn = ((rotation % 3600) + 3600) % 3600;
  // Quarter turns exactly, so that an upright body's edges are where its numbers say.
  constexpr Point kQuarters[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  const double angle = turn * std::numbers::pi / 1800.0;
  shape.axis = turn % 900 == 0 ? kQuarters[turn / 900] : Point{std::cos(angle), std::sin(angle)};
  shape.halfWidth = body.width / 2.0;
  shape.halfHeight = body.height / 2.0;
  const double c = shape.axis.x;
  const double s = shape.axis.y;
  const Point local[4] = {{-shape.halfWidth, -shape.halfHeight},
                          {shape.halfWidth, -shape.halfHeight},
                          {shape.halfWidth, shape.halfHeight},
                          {-shape.halfWidth, shape.halfHeight}};
  for (std::size_t i = 0; i < 4; ++i) {
    shape.corners[i] = {shape.origin.x + local[i].x * c - local[i].y * s,
                        shape.origin.y + local[i].x * s + local[i].y * c};
    shape.bounds.Add(shape.corners[i]);
  }
  shape.area = static_cast<double>(body.width) * body.height;
}

// Whether point lies in the turned body widened by tolerance: the point is turned back into the
// body's own axes.
bool InBody(const Shape& shape, Point point, double tolerance) {
  const double dx = point.x - shape.origin.x;
  const double dy = point.y - shape.origin.y;
  const double along = dx * shape.axis.x + dy * shape.axis.y;
  const double across = -dx * shape.axis.y + dy * shape.axis.x;
  return std::abs(along) <= shape.halfWidth + tolerance &&
         std::abs(across) <= shape.halfHeight + tolerance;
}

}  // namespace

BodySize DefaultBody(std::string_view refDes) {
  std::string letters;
  for (const char c : refDes) {
    if (std::isalpha(static_cast<unsigned char>(c)) == 0) {
      break;
    }
    letters += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (letters.empty()) {
    return InDbUnits(kNoLetters);
  }
  for (const PrefixBody& row : kBodies) {
    if (letters == row.prefix) {
      return InDbUnits(row);
    }
  }
  return InDbUnits(kOtherLetters);
}

std::vector<Shape> BuildScene(const std::vector<Item>& items) {
  std::vector<Shape> scene;
  Box bodies;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Item& item = items[i];
    if (!item.IsComponent()) {
      continue;
    }
    Shape shape;
    shape.item = i;
    shape.label = item.refDes.empty() ? std::string("\"\"") : item.refDes;
    shape.origin = {static_cast<double>(item.x), static_cast<double>(item.y)};
    PlaceBody(shape, item.body.value_or(DefaultBody(item.refDes)), item.rotation);
    bodies.Add(shape.bounds);
    scene.push_back(std::move(shape));
  }
  std::stable_sort(scene.begin(), scene.end(),
                   [](const Shape& a, const Shape& b) { return a.area > b.area; });

  const Point start = bodies.empty ? Point{0, 0} : Point{bodies.left, bodies.bottom - kMarkerPitch};
  double x = start.x;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].IsComponent()) {
      continue;
    }
    Shape marker;
    marker.item = i;
    marker.isComponent = false;
    marker.label = "item " + std::to_string(items[i].type);
    marker.origin = {x, start.y};
    marker.corners.fill(marker.origin);
    marker.bounds.Add(marker.origin);
    scene.push_back(std::move(marker));
    x += kMarkerPitch;
  }
  return scene;
}

Box SceneBounds(const std::vector<Shape>& scene) {
  Box box;
  for (const Shape& shape : scene) {
    box.Add(shape.bounds);
  }
  return box;
}

std::optional<std::size_t> HitTest(const std::vector<Shape>& scene, Point point, double tolerance,
                                   double markerRadius) {
  for (auto shape = scene.rbegin(); shape != scene.rend(); ++shape) {
    const bool hit = shape->isComponent
                         ? InBody(*shape, point, tolerance)
                         : std::hypot(point.x - shape->origin.x, point.y - shape->origin.y) <=
                               markerRadius + tolerance;
    if (hit) {
      return shape->item;
    }
  }
  return std::nullopt;
}

std::vector<std::size_t> Enclosed(const std::vector<Shape>& scene, const Box& box) {
  std::vector<std::size_t> items;
  for (const Shape& shape : scene) {
    const bool inside = std::all_of(shape.corners.begin(), shape.corners.end(),
                                    [&](const Point& corner) { return box.Contains(corner); });
    if (inside) {
      items.push_back(shape.item);
    }
  }
  return items;
}

}  // namespace standin::boardview
