// The Arrange window: a resizable modeless window owned by the main window, with the patterns and
// their choices on the left and, on the right, the live picture of what Apply would do with the
// selection as it was last read (it zooms and pans, and keeps its view as the choices change), a
// summary line that names a parameter that is not valid, the RefDes messages, and a status line. It
// reads the selection when it opens, on F5 and on "Read selection"; Apply arranges through the host
// as one step of the main window's undo history, and Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) step back
// and forward through that history, and Ctrl+Shift+S swaps the places of two selected components
// as the main window does. Its frame and choices are kept in the settings file, section
// "Arrange", and its saved setups in sections of their own.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "placement/Arrange.h"
#include "placement/HostAdapters.h"
#include "placement/Preview.h"
#include "ui/DpiScale.h"
#include "ui/PlotPainter.h"
#include "ui/Win32Util.h"
#include "ui/arrange/AlignPanel.h"
#include "ui/arrange/ArrangePanel.h"
#include "ui/arrange/CirclePanel.h"
#include "ui/arrange/DistributePanel.h"
#include "ui/arrange/GridPanel.h"
#include "ui/arrange/ReplicatePanel.h"
#include "ui/arrange/RowsPanel.h"
#include "ui/arrange/SnapPanel.h"
#include "ui/arrange/TablePanel.h"
#include "ui/arrange/TransformPanel.h"

namespace kordane::ui {

inline constexpr const char* kArrangeClass = "TArrangeWindow";
inline constexpr const char* kArrangeCaption = "Arrange";

// The controls every pattern shares; each pattern's own are in its panel's header.
enum ArrangeControlId : int {
  kIdPatternBox = 400,
  // 401 to 405, 412, 413 and 415: the pattern buttons of the panels.
  kIdOrderLabel = 406,
  kIdOrder,
  kIdTurn,
  kIdTurnText,
  kIdTurnDegrees,
  kIdPanelBox,
  // Right of the choices.
  kIdArrangeMessages = 500,
  kIdArrangeSummary,
  kIdReadSelection,
  kIdApply,
  kIdArrangeStatus,
  kIdArrangeUndo,  // Ctrl+Z
  kIdArrangeRedo,  // Ctrl+Y, Ctrl+Shift+Z
  kIdArrangeSwap,  // Ctrl+Shift+S
  kIdArrangePicture,
  kIdArrangeClose = IDCANCEL,
  // Saved setups, above the choices.
  kIdSetupLabel = 600,
  kIdSetup,
  kIdSetupSave,
  kIdSetupDelete,
};

// What the window asks of the main window.
class IArrangeOwner {
 public:
  virtual ~IArrangeOwner() = default;
  // One connection that reads the selection and makes no change.
  virtual TSelectionRead ReadSelection() = 0;
  // The main window's present choices and rotation text, for "Rows or columns".
  virtual PlacementInputs MainInputs() const = 0;
  virtual std::string MainRotationText() const = 0;
  // The main window's Go.
  virtual void Go() = 0;
  // Arranges through the host, as one step of the undo history.
  virtual void Arrange(const TArrangeChoices& choices) = 0;
  // A step back or forward in the history; false, with nothing done, when there is none.
  virtual bool UndoLastRun() = 0;
  virtual bool RedoLastUndone() = 0;
  // Swaps the places of the two selected components, as one step of the undo history; with any
  // other number selected, the status line says so.
  virtual void SwapPlaces() = 0;
  // The main window's status line as the last action left it.
  virtual std::string StatusLine() const = 0;
};

// The window's controls at 96 DPI; those right of the choices are placed by its layout.
std::span<const ControlSpec> ArrangeLayout();

class TArrangeWindow final : public WindowBase, public IArrangeControls {
 public:
  TArrangeWindow(HWND owner, IArrangeOwner& arranger, std::string settingsPath);
  ~TArrangeWindow() override;

  // Reads the selection and shows the window beside its owner, which stays usable; Close and
  // Escape keep its frame and choices and destroy the window.
  void Open();
  // Brings the open window to the front, restored when it was minimised.
  void BringToFront();
  // After a run in the main window: the picture drawn from the selection read afresh.
  void ReadSelectionAgain() { ReadAgain(); }
  // Whether a window is this one or one of its controls.
  bool Holds(HWND window) const;
  // The window's keyboard shortcuts and dialog keys for a message of the loop that it holds: true
  // when it was handled.
  bool TranslateWindowMessage(MSG& message);

  HWND Control(int id) const override;
  const TPreview& Picture() const { return picture_; }
  const TRunPicture& RunPicture() const { return *pictureView_; }
  const TArrangeChoices& Choices() const { return choices_; }
  // Where the picture is drawn, in client coordinates.
  RECT PictureRect() const;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(int id, int code);
  void Layout();

  // Reads the selection afresh and shows what Apply would do with it.
  void ReadAgain();
  // Shows a reading: the picture drawn from it, or, when it failed, its error over the last one.
  void Adopt(TSelectionRead read);
  void Apply();
  // A step back or forward in the history, then the selection read again.
  void Undo();
  void Redo();
  // Swap places through the main window, then the selection read again.
  void SwapPlaces();
  // Takes the choices from the controls, shows the pattern's own controls and the picture.
  void Refresh();
  TArrangeChoices ChoicesShown() const;
  void ShowChoices(const TArrangeChoices& choices);
  void ShowPatternControls();
  // Lengths kept in the other unit shown converted to the design's (they are saved so).
  void ShowInDesignUnits();
  // Reads the table's file anew. Apply: whether its content changed since the picture was drawn,
  // in which case the picture is drawn from the new content and the summary says so.
  void ReadTable();
  bool TableChanged();
  // Writes the selection as last read to the table's file.
  void ExportTable();
  // Replicate's anchor list (the selection's designators that have a channel in the scheme shown)
  // and Transform's pivot part list (its numbered designators),
  // as last read.
  void ShowAnchorCandidates();
  // Replicate's Find over the selection as last read: the choices it finds shown, and what it
  // found in the summary line until the next change.
  void FindChannelsShown();
  void SetStatus(const std::string& text);
  // The saved setups: the list from the settings file, Save and Delete as the typed name allows,
  // and the choices of the one chosen brought back.
  void ShowSetupNames();
  void ShowSetupButtons();
  void SaveSetupTyped();
  void DeleteSetupTyped();
  void ChooseSetup();
  // A length in pixels at 96 DPI, at the window's DPI.
  int Px(int value) const;

  struct AcceleratorDestroyer {
    void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
  };

  HWND owner_;
  IArrangeOwner& arranger_;
  std::string settingsPath_;
  int dpi_ = kDefaultDpi;
  GdiObject<HFONT> font_;
  std::vector<HWND> controls_;
  std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDestroyer> shortcuts_;
  TArrangeChoices choices_;
  // The selection as last read, served from memory to the live picture; what kept it from being
  // read, if anything.
  std::unique_ptr<TSelectionHost> selection_;
  std::string readFailure_;
  // The table's file as last read: the picture and Apply place from its content.
  TTableFile tableFile_;
  // The summary line tells that Apply found the selection changed, until the picture is redrawn.
  bool noticeShown_ = false;
  TPreview picture_;
  std::unique_ptr<TRunPicture> pictureView_;  // draws picture_
  bool newReading_ = false;                   // the picture fits the next drawing again
  // Why the typed setup name cannot be saved under; empty when it can or nothing is typed.
  std::string setupProblem_;
  // No length stored or typed yet: they follow the design's units.
  bool defaultLengths_ = true;
  std::int32_t lengthUnits_ = -1;  // the units the lengths shown are written in
  int showingChoices_ = 0;  // >0 while the program sets the controls: their notices are its own
  HWND lastFocus_ = nullptr;
};

}  // namespace kordane::ui
