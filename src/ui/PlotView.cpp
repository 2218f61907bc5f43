#include "ui/PlotView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "host/Conversions.h"
#include "host/DbxUtils.h"

namespace kordane {

ViewPoint ZoomView::ToClient(ViewPoint board) const {
  return {(board.x - topLeft_.x) * scale_, (topLeft_.y - board.y) * scale_};
}

ViewPoint ZoomView::ToBoard(ViewPoint client) const {
  return {topLeft_.x + client.x / scale_, topLeft_.y - client.y / scale_};
}

void ZoomView::ZoomAt(ViewPoint client, double factor) {
  const ViewPoint fixed = ToBoard(client);
  scale_ = std::clamp(scale_ * factor, minScale_, maxScale_);
  topLeft_ = {fixed.x - client.x / scale_, fixed.y + client.y / scale_};
}

void ZoomView::PanBy(double dxPixels, double dyPixels) {
  topLeft_.x -= dxPixels / scale_;
  topLeft_.y += dyPixels / scale_;
}

void ZoomView::Fit(ViewPoint centre, double boxWidth, double boxHeight, double clientWidth,
                   double clientHeight, double margin) {
  double scale = maxScale_;
  if (boxWidth > 0) scale = std::min(scale, std::max(clientWidth - 2 * margin, 1.0) / boxWidth);
  if (boxHeight > 0) scale = std::min(scale, std::max(clientHeight - 2 * margin, 1.0) / boxHeight);
  scale_ = std::clamp(scale, minScale_, maxScale_);
  topLeft_ = {centre.x - clientWidth / 2 / scale_, centre.y + clientHeight / 2 / scale_};
}

void ZoomView::SetLimits(double minScale, double maxScale, ViewPoint about) {
  minScale_ = minScale;
  maxScale_ = std::max(minScale, maxScale);
  ZoomAt(about, 1);
}

void PictureView::Show(const TPreview& preview, bool refit) {
  double minX = std::numeric_limits<double>::max();
  double minY = minX;
  double maxX = std::numeric_limits<double>::lowest();
  double maxY = maxX;
  for (const TPreviewPart& part : preview.parts) {
    minX = std::min({minX, static_cast<double>(part.x), static_cast<double>(part.toX)});
    maxX = std::max({maxX, static_cast<double>(part.x), static_cast<double>(part.toX)});
    minY = std::min({minY, static_cast<double>(part.y), static_cast<double>(part.toY)});
    maxY = std::max({maxY, static_cast<double>(part.y), static_cast<double>(part.toY)});
  }
  if (preview.parts.empty()) {
    minX = maxX = minY = maxY = 0;
  } else if (preview.pivot) {
    // The pivot is marked too, wherever it is.
    minX = std::min(minX, static_cast<double>(preview.pivot->x));
    maxX = std::max(maxX, static_cast<double>(preview.pivot->x));
    minY = std::min(minY, static_cast<double>(preview.pivot->y));
    maxY = std::max(maxY, static_cast<double>(preview.pivot->y));
  }
  centre_ = {minX + (maxX - minX) / 2, minY + (maxY - minY) / 2};
  boxWidth_ = maxX - minX;
  boxHeight_ = maxY - minY;
  if (refit) fitted_ = true;
  levels_ = LabelLevels(preview);
  Limit();
}

std::vector<int> LabelLevels(const TPreview& preview) {
  std::vector<int> levels(preview.parts.size(), 0);
  std::vector<std::vector<std::size_t>> members(preview.groups.size());
  for (std::size_t i = 0; i < preview.parts.size(); ++i) {
    if (preview.parts[i].group < members.size()) members[preview.parts[i].group].push_back(i);
  }
  for (std::vector<std::size_t>& group : members) {
    std::int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
    for (const std::size_t i : group) {
      minX = std::min<std::int64_t>(minX, preview.parts[i].toX);
      maxX = std::max<std::int64_t>(maxX, preview.parts[i].toX);
      minY = std::min<std::int64_t>(minY, preview.parts[i].toY);
      maxY = std::max<std::int64_t>(maxY, preview.parts[i].toY);
    }
    // Less than two parts, or a column, whose labels fit.
    if (group.size() < 2 || maxX - minX <= maxY - minY) continue;
    std::stable_sort(group.begin(), group.end(), [&](std::size_t a, std::size_t b) {
      return preview.parts[a].toX < preview.parts[b].toX;
    });
    for (std::size_t rank = 0; rank < group.size(); ++rank) {
      levels[group[rank]] = static_cast<int>(rank % 2);
    }
  }
  return levels;
}

void PictureView::Resize(int width, int height, int margin) {
  if (width == width_ && height == height_ && margin == margin_) return;
  // What was in the middle stays there.
  const ViewPoint middle = view_.ToBoard({width_ / 2.0, height_ / 2.0});
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  margin_ = margin;
  Limit();
  if (!fitted_) {
    const ViewPoint now = view_.ToClient(middle);
    view_.PanBy(width_ / 2.0 - now.x, height_ / 2.0 - now.y);
  }
}

void PictureView::Limit() {
  // The whole selection at the farthest; at the closest kClosestViewWidth across the plot, or the
  // whole selection when it is smaller than that.
  ZoomView whole(0, 1);
  whole.Fit(centre_, boxWidth_, boxHeight_, width_, height_, margin_);
  const double closest = std::min(1.0, std::max(whole.Scale(), width_ / kClosestViewWidth));
  if (fitted_) view_ = whole;
  view_.SetLimits(whole.Scale(), closest, {width_ / 2.0, height_ / 2.0});
}

void PictureView::ZoomAt(ViewPoint client, double factor) {
  view_.ZoomAt(client, factor);
  fitted_ = false;
}

void PictureView::ZoomAtCentre(double factor) {
  ZoomAt({width_ / 2.0, height_ / 2.0}, factor);
}

void PictureView::PanBy(double dxPixels, double dyPixels) {
  view_.PanBy(dxPixels, dyPixels);
  fitted_ = false;
}

void PictureView::Fit() {
  fitted_ = true;
  Limit();
}

LabelSpace::LabelSpace(int width, int height)
    : width_(width),
      height_(height),
      columns_(std::max(1, (width + kCell - 1) / kCell)),
      rows_(std::max(1, (height + kCell - 1) / kCell)),
      cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)) {}

bool LabelSpace::Claim(const PixelRect& label) {
  if (label.right <= label.left || label.bottom <= label.top) return false;
  const int firstColumn = std::max(0, label.left / kCell);
  const int lastColumn = std::min(columns_ - 1, (label.right - 1) / kCell);
  const int firstRow = std::max(0, label.top / kCell);
  const int lastRow = std::min(rows_ - 1, (label.bottom - 1) / kCell);
  if (label.right <= 0 || label.bottom <= 0 || label.left >= width_ || label.top >= height_) {
    return false;  // wholly outside
  }
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      for (const std::uint32_t index : cells_[static_cast<std::size_t>(row * columns_ + column)]) {
        const PixelRect& other = taken_[index];
        if (label.left < other.right && other.left < label.right && label.top < other.bottom &&
            other.top < label.bottom) {
          return false;
        }
      }
    }
  }
  const auto index = static_cast<std::uint32_t>(taken_.size());
  taken_.push_back(label);
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      cells_[static_cast<std::size_t>(row * columns_ + column)].push_back(index);
    }
  }
  return true;
}

std::optional<std::size_t> PartAt(const TPreview& preview, const ZoomView& view, ViewPoint client,
                                  double radius) {
  std::optional<std::size_t> found;
  double best = std::numeric_limits<double>::max();
  for (std::size_t i = 0; i < preview.parts.size(); ++i) {
    const TPreviewPart& part = preview.parts[i];
    // A target a hair nearer than an origin at the same distance wins.
    const std::pair<ViewPoint, double> places[] = {
        {view.ToClient({static_cast<double>(part.toX), static_cast<double>(part.toY)}), 0},
        {view.ToClient({static_cast<double>(part.x), static_cast<double>(part.y)}), 1e-6}};
    for (const auto& [at, handicap] : places) {
      const double dx = std::abs(at.x - client.x);
      const double dy = std::abs(at.y - client.y);
      if (dx > radius || dy > radius) continue;
      const double distance = std::hypot(dx, dy) + handicap;
      if (distance <= best) {
        best = distance;
        found = i;
      }
    }
  }
  return found;
}

std::string DegreesText(std::int32_t tenths) {
  return FloatToText(tenths / 10.0) + "\xB0";
}

std::string PartTip(const TPreviewPart& part, std::int32_t units) {
  const auto length = [units](std::int32_t db) {
    return units == kUnitsMm     ? DbToMmText(db)
           : units == kUnitsMils ? DbToMilsText(db)
                                 : std::to_string(db);
  };
  const auto place = [&](std::int32_t x, std::int32_t y, std::int32_t tenths) {
    return length(x) + ", " + length(y) + " " + UnitsName(units) + " at " + DegreesText(tenths);
  };
  return part.refDes + "\r\nnow " + place(part.x, part.y, part.rotation) + "\r\nafter " +
         place(part.toX, part.toY, part.toRotation);
}

}  // namespace kordane
