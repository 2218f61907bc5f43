#include "placement/SwapPlaces.h"

#include <optional>
#include <string>
#include <vector>

#include "placement/ArrangeGeometry.h"
#include "placement/SelectionRun.h"

namespace kordane {

namespace {

// Whether the host can take a part from one value to the other and back.
bool Reachable(std::int32_t from, std::int32_t to) {
  return ToInt32(std::int64_t{to} - from) && ToInt32(std::int64_t{from} - to);
}

}  // namespace

void RunSwapPlaces(IDbxCalls& host, IPlacementView& view, bool& designOpen) {
  std::string refusal;
  RunOverSelection(host, view, designOpen, [&refusal, &designOpen](TSelectionStep& step) {
    if (!designOpen) return;  // the failed open's own text stands
    std::vector<TDbxComponent*> parts;
    for (const auto& group : step.groups.Groups()) {
      parts.insert(parts.end(), group->Components().begin(), group->Components().end());
    }
    if (parts.size() != 2) {
      refusal = "Swap places needs exactly two selected components: " +
                (parts.size() == 1 ? std::string("1 is") : std::to_string(parts.size()) + " are") +
                " selected";
      return;
    }
    TDbxComponent& a = *parts[0];
    TDbxComponent& b = *parts[1];
    const TMemberPlace placeA{a.X(), a.Y(), a.Rotation()};
    const TMemberPlace placeB{b.X(), b.Y(), b.Rotation()};
    if (!Reachable(placeA.x, placeB.x) || !Reachable(placeA.y, placeB.y) ||
        !Reachable(placeA.rotation, placeB.rotation)) {
      refusal = "Swap places: " + a.RefDes() + " and " + b.RefDes() +
                " are too far apart for the host's coordinates";
      return;
    }
    // Both turn before either moves, as the patterns do; each change is worked out from the
    // record as it then stands, which the host may have rewritten.
    const auto turnTo = [&step](TDbxComponent& part, std::int32_t angle) {
      const std::optional<std::int32_t> change = ToInt32(std::int64_t{angle} - part.Rotation());
      if (!change || *change == 0) return;
      step.tally.Count(step.host.RotateComponent(&DbxContext, *change, step.rotationPoint, &part));
    };
    const auto moveTo = [&step](TDbxComponent& part, const TMemberPlace& place) {
      const std::optional<std::int32_t> dx = ToInt32(std::int64_t{place.x} - part.X());
      const std::optional<std::int32_t> dy = ToInt32(std::int64_t{place.y} - part.Y());
      if (!dx || !dy || (*dx == 0 && *dy == 0)) return;
      step.tally.Count(step.host.MoveComponent(&DbxContext, *dx, *dy, &part));
    };
    turnTo(a, placeB.rotation);
    turnTo(b, placeA.rotation);
    moveTo(a, placeB);
    moveTo(b, placeA);
  });
  if (!refusal.empty()) view.SetStatusText(refusal);
}

}  // namespace kordane
