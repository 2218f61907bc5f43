// The main window's behaviour without Windows: its event handlers, the enable routines, the unit
// switch and the event rules between controls. The Win32 window supplies the controls through
// IMainFormControls and routes the user's clicks and edits to the handlers here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/DbxLoader.h"
#include "settings/GlobalSettings.h"

namespace kordane {

// The working controls whose state the behaviour reads and writes.
enum class TControl {
  rbHorizontal,
  rbVertical,
  rbUp,
  rbDown,
  rbNone,
  cbDoSpace,
  cbDoRotate,
  cbOnTop,
  eSpacing,
  cbRotation,
  lUnits,
};

inline constexpr std::uint32_t kGreyTextColour = 0x808080;

// Raw access to the controls. None of these runs a handler.
class IMainFormControls {
 public:
  virtual ~IMainFormControls() = default;
  virtual bool Checked(TControl control) const = 0;
  virtual void SetChecked(TControl control, bool checked) = 0;
  virtual std::string Text(TControl control) const = 0;
  virtual void SetText(TControl control, const std::string& text) = 0;
  // nullopt: the system window-text colour; otherwise a COLORREF value.
  virtual void SetTextColour(TControl control, std::optional<std::uint32_t> colour) = 0;
  virtual void SetTopMost(bool topMost) = 0;
  virtual int Left() const = 0;
  virtual int Top() const = 0;
  virtual void SetLeft(int left) = 0;
  virtual void SetTop(int top) = 0;
  virtual TWindowState WindowState() const = 0;
  virtual void SetWindowState(TWindowState state) = 0;
};

class TfrmMainLogic : public ISettingsTarget {
 public:
  explicit TfrmMainLogic(IMainFormControls& controls) : controls_(controls) {}

  // Handlers.
  void cbDoSpaceClick();
  void eSpacingChange();
  void cbDoRotateClick();
  void cbRotationChange();
  void cbOnTopClick();
  // Unit buttons, told apart by their tag: 1 mils, 2 millimetres.
  void ChangeUnits(int tag);
  void SetSpacingEnabled(bool on) override;
  void SetRotateEnabled(bool on) override;
  // The unit label for the present DbUnits: "mils", "mm", or unchanged.
  void ShowUnits();
  // FormCreate's look at the design: a connection opened only to learn the units, closed again,
  // then the unit label. A host that cannot be reached is not reported; like a refused
  // design-information request, it leaves DbUnits as FormCreate set it, unknown. designOpen is
  // the window's FDesignOpen flag.
  void LearnDesignUnits(IDbxCalls& host, bool& designOpen);

  // Event rules for changes made from code: a check box runs its click handler only when its
  // state changes; the spacing text runs eSpacingChange only when it differs.
  void SetCheckedFromCode(TControl control, bool checked);
  void SetSpacingTextFromCode(const std::string& text);

  // The placement choices as they stand.
  PlacementInputs Inputs() const;

  // ISettingsTarget.
  int Left() const override { return controls_.Left(); }
  int Top() const override { return controls_.Top(); }
  void SetLeft(int left) override { controls_.SetLeft(left); }
  void SetTop(int top) override { controls_.SetTop(top); }
  TWindowState WindowState() const override { return controls_.WindowState(); }
  void SetWindowState(TWindowState state) override { controls_.SetWindowState(state); }
  bool OnTopChecked() const override { return controls_.Checked(TControl::cbOnTop); }
  void SetOnTopChecked(bool checked) override { SetCheckedFromCode(TControl::cbOnTop, checked); }
  bool HorizontalChecked() const override { return controls_.Checked(TControl::rbHorizontal); }
  void SetHorizontalChecked(bool horizontal) override;
  std::optional<TSortOrder> SortOrderChecked() const override;
  void SetSortOrderChecked(TSortOrder order) override;
  bool RotateChecked() const override { return controls_.Checked(TControl::cbDoRotate); }
  std::string RotationText() const override { return controls_.Text(TControl::cbRotation); }
  void SetRotationText(const std::string& text) override {
    controls_.SetText(TControl::cbRotation, text);
  }
  std::string SpacingText() const override { return controls_.Text(TControl::eSpacing); }
  void SetSpacingText(const std::string& text) override { SetSpacingTextFromCode(text); }
  bool SpacingChecked() const override { return controls_.Checked(TControl::cbDoSpace); }

 private:
  IMainFormControls& controls_;
};

}  // namespace kordane
