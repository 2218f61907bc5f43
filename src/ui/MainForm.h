// The main window: the placement choices, the Go button, the unit switch, stay-on-top and the
// About box. Its behaviour lives in TfrmMainLogic; this class is the Win32 face of it.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <span>
#include <string>
#include <type_traits>

#include "host/DbxLoader.h"
#include "placement/PlacementRun.h"
#include "placement/Undo.h"
#include "settings/GlobalSettings.h"
#include "ui/ArrangeWindow.h"
#include "ui/DpiScale.h"
#include "ui/MainFormLogic.h"
#include "ui/Win32Util.h"

namespace kordane::ui {

// Control identifiers; also the indices of the control table.
enum ControlId : int {
  kIdAlign = 100,
  kIdGroupBox1,
  kIdHorizontal,
  kIdVertical,
  kIdGroupBox2,
  kIdSpacing,
  kIdToMils,
  kIdToMm,
  kIdDoSpace,
  kIdUnits,
  kIdOnTop,
  kIdStatusBar,
  kIdGroupBox3,
  kIdUp,
  kIdNone,
  kIdDown,
  kIdGroupBox4,
  kIdRotation,
  kIdDoRotate,
  kIdLast
};
// The popup menu's entries.
inline constexpr int kIdAbout = 200;
inline constexpr int kIdUndo = 201;
inline constexpr int kIdPreview = 202;
inline constexpr int kIdArrange = 203;
inline constexpr int kIdRedo = 204;
inline constexpr int kIdSwapPlaces = 205;

inline constexpr const char* kMainWindowClass = "TfrmMain";
// The client area at 96 DPI; the window scales it and its layout to its own DPI.
inline constexpr int kClientWidth = 214;
inline constexpr int kClientHeight = 167;

// The window's controls at 96 DPI, in the order of the ControlId values.
std::span<const ControlSpec> MainFormLayout();

class TfrmMain final : public WindowBase,
                       private IMainFormControls,
                       private IPlacementView,
                       private IArrangeOwner {
 public:
  // settingsPath: the INI file; host: the host library, already loaded.
  TfrmMain(std::string settingsPath, DbxHost host);
  ~TfrmMain() override;

  // Creates the window, loads the settings into it and shows it in the stored state.
  void Show();

  // Handlers, also reachable from tests.
  void bAlignClick();
  void About1Click();
  // Takes back the latest step (Ctrl+Z or the popup menu); does nothing when there is nothing.
  void Undo1Click();
  // Makes the latest step taken back again (Ctrl+Y, Ctrl+Shift+Z or the popup menu); does
  // nothing when there is nothing.
  void Redo1Click();
  // Shows what a run would do now; its Go! then runs it as bAlignClick does.
  void Preview1Click();
  // Opens the Arrange window.
  void Arrange1Click();
  // Swaps the places of the two selected components (Ctrl+Shift+S or the popup menu), as one step
  // of the history; with any other number selected, the status line says so.
  void SwapPlaces1Click();
  bool UndoAvailable() const { return undo_.CanUndo(); }
  HMENU PopupMenu() const { return popupMenu_; }
  // The window's keyboard shortcuts, for the message loop: true when the message was one.
  bool TranslateShortcut(MSG& message);
  HWND Control(int id) const;
  bool DesignOpen() const { return FDesignOpen; }
  bool SpacingGreyed() const { return spacingGreyed_; }
  bool RotationGreyed() const { return rotationGreyed_; }

 private:
  void FormCreate();
  // Saves the settings and disconnects; true when the window may close.
  void FormClose();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(int id, int code, HWND control);
  LRESULT OnControlColour(HDC dc, HWND control);

  // IMainFormControls.
  bool Checked(TControl control) const override;
  void SetChecked(TControl control, bool checked) override;
  std::string Text(TControl control) const override;
  void SetText(TControl control, const std::string& text) override;
  void SetTextColour(TControl control, std::optional<std::uint32_t> colour) override;
  void SetTopMost(bool topMost) override;
  int Left() const override { return normalLeft_; }
  int Top() const override { return normalTop_; }
  void SetLeft(int left) override;
  void SetTop(int top) override;
  TWindowState WindowState() const override { return windowState_; }
  void SetWindowState(TWindowState state) override { windowState_ = state; }

  // IPlacementView.
  void SetStatusText(const std::string& text) override;
  void SetUnitsLabel(const std::string& text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  std::string RotationText() override;
  void ShowRefDesError(const std::string& message) override;

  // IArrangeOwner.
  TSelectionRead ReadSelection() override;
  PlacementInputs MainInputs() const override { return logic_.Inputs(); }
  std::string MainRotationText() const override;
  void Go() override { bAlignClick(); }
  void Arrange(const TArrangeChoices& choices) override;
  bool UndoLastRun() override;
  bool RedoLastUndone() override;
  void SwapPlaces() override { SwapPlaces1Click(); }
  std::string StatusLine() const override;

  // Fonts and layout for a DPI; at creation and when the window moves to another monitor.
  void ApplyDpi(int dpi);
  HWND HandleOf(TControl control) const;
  // Names the steps the undo and redo entries would take, each greyed while there is none.
  void UpdateHistoryEntries();
  // Brings the undo and redo entries up to date however a run, an undo or a redo ends.
  struct HistoryEntriesRefresh {
    TfrmMain& form;
    ~HistoryEntriesRefresh() { form.UpdateHistoryEntries(); }
  };

  struct AcceleratorDestroyer {
    void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
  };

  std::string settingsPath_;
  DbxHost host_;
  TfrmMainLogic logic_{*this};
  std::unique_ptr<TGlobalSettings> FSettings;
  bool FDesignOpen = false;
  TUndoHistory undo_;

  int dpi_ = kDefaultDpi;
  GdiObject<HFONT> font_;
  GdiObject<HFONT> boldFont_;
  std::array<HWND, kIdLast - kIdAlign> controls_{};
  HMENU popupMenu_ = nullptr;
  std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDestroyer> shortcuts_;

  bool spacingGreyed_ = false;
  bool rotationGreyed_ = false;
  int settingText_ = 0;  // >0 while the program itself changes a text: its notifications are ours
  bool running_ = false;
  HCURSOR savedCursor_ = nullptr;

  // The window's own state and its normal position, which a minimise from the title bar leaves
  // alone.
  TWindowState windowState_ = TWindowState::Normal;
  int normalLeft_ = 744;
  int normalTop_ = 108;
};

}  // namespace kordane::ui
