// Controls of the main window without Windows, in their design-time state, recording every change
// made to them in order.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ui/MainFormLogic.h"

namespace kordane::fakes {

inline const char* ControlName(TControl control) {
  switch (control) {
    case TControl::rbHorizontal:
      return "rbHorizontal";
    case TControl::rbVertical:
      return "rbVertical";
    case TControl::rbUp:
      return "rbUp";
    case TControl::rbDown:
      return "rbDown";
    case TControl::rbNone:
      return "rbNone";
    case TControl::cbDoSpace:
      return "cbDoSpace";
    case TControl::cbDoRotate:
      return "cbDoRotate";
    case TControl::cbOnTop:
      return "cbOnTop";
    case TControl::eSpacing:
      return "eSpacing";
    case TControl::cbRotation:
      return "cbRotation";
    case TControl::lUnits:
      return "lUnits";
  }
  return "?";
}

class FakeMainFormControls : public IMainFormControls {
 public:
  FakeMainFormControls() {
    checked_[Index(TControl::rbHorizontal)] = true;
    checked_[Index(TControl::rbUp)] = true;
    text_[Index(TControl::eSpacing)] = "0";
    text_[Index(TControl::lUnits)] = "Unit";
  }

  bool Checked(TControl control) const override { return checked_[Index(control)]; }
  void SetChecked(TControl control, bool checked) override {
    Log(std::string("check ") + ControlName(control) + (checked ? " 1" : " 0"));
    checked_[Index(control)] = checked;
  }
  std::string Text(TControl control) const override { return text_[Index(control)]; }
  void SetText(TControl control, const std::string& text) override {
    Log(std::string("text ") + ControlName(control) + " " + text);
    text_[Index(control)] = text;
  }
  void SetTextColour(TControl control, std::optional<std::uint32_t> colour) override {
    Log(std::string("colour ") + ControlName(control) + (colour ? " grey" : " normal"));
    if (colour) {
      EXPECT_EQ(*colour, kGreyTextColour);
    }
    colour_[Index(control)] = colour;
  }
  void SetTopMost(bool topMost) override {
    Log(topMost ? "topmost 1" : "topmost 0");
    topMostCalls.push_back(topMost);
  }
  int Left() const override { return left_; }
  int Top() const override { return top_; }
  void SetLeft(int left) override { left_ = left; }
  void SetTop(int top) override { top_ = top; }
  TWindowState WindowState() const override { return state_; }
  void SetWindowState(TWindowState state) override { state_ = state; }

  // nullopt: the window-text colour.
  std::optional<std::uint32_t> Colour(TControl control) const { return colour_[Index(control)]; }
  bool Greyed(TControl control) const { return Colour(control).has_value(); }

  // Every change, in order: "check <control> 0|1", "text <control> <text>",
  // "colour <control> grey|normal", "topmost 0|1".
  std::vector<std::string> log;
  std::vector<bool> topMostCalls;

 private:
  static constexpr std::size_t kCount = static_cast<std::size_t>(TControl::lUnits) + 1;
  static std::size_t Index(TControl control) { return static_cast<std::size_t>(control); }
  void Log(std::string entry) {
    // A runaway loop between an enable routine and its check box would otherwise only show as a
    // stack overflow.
    if (log.size() >= 1000) throw std::logic_error("endless handler calls");
    log.push_back(std::move(entry));
  }

  std::array<bool, kCount> checked_{};
  std::array<std::string, kCount> text_{};
  std::array<std::optional<std::uint32_t>, kCount> colour_{};
  int left_ = 744;
  int top_ = 108;
  TWindowState state_ = TWindowState::Normal;
};

// Number of log entries equal to entry.
inline std::size_t CountOf(const std::vector<std::string>& log, const std::string& entry) {
  std::size_t count = 0;
  for (const std::string& e : log) count += e == entry ? 1u : 0u;
  return count;
}

// Position of the first entry equal to entry, or log.size() when there is none.
inline std::size_t FirstOf(const std::vector<std::string>& log, const std::string& entry) {
  std::size_t at = 0;
  while (at < log.size() && log[at] != entry) ++at;
  return at;
}

}  // namespace kordane::fakes
