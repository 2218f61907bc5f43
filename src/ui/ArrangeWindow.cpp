#include "ui/ArrangeWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "host/DbxUtils.h"
#include "placement/HostAdapters.h"
#include "settings/ArrangeSettings.h"
#include "settings/ArrangeSetups.h"
#include "settings/win32/IniFileProfile.h"
#include "ui/ArtResources.h"
#include "ui/Dpi.h"
#include "ui/FramePlace.h"
#include "ui/Modal.h"
#include "ui/PlotPainter.h"

namespace kordane::ui {

namespace {

// Every length here is in pixels at 96 DPI; the window scales them to its own (Px).
constexpr int kDefaultClientWidth = 780;
constexpr int kDefaultClientHeight = 540;
constexpr int kMinimumClientWidth = 600;
constexpr int kMinimumClientHeight = 530;
constexpr int kGap = 8;
constexpr int kPictureLeft = 256;  // right of the choices
constexpr int kButtonWidth = 75;
constexpr int kWideButtonWidth = 95;
constexpr int kButtonHeight = 25;
constexpr int kSummaryHeight = 16;
constexpr int kMessagesHeight = 56;

// Without WS_CLIPCHILDREN: the group boxes leave their inside to the window's background.
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;

constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kFirstRadio = BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT | WS_GROUP;
constexpr DWORD kNote = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kEdit = WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL;
constexpr DWORD kList = WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kEditableList = WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
constexpr DWORD kButton = kVisible | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
constexpr const char* kDegrees = "degrees";

// The choices on the left, in tab order: each field right after its label, so that the label's
// mnemonic reaches it. A pattern's own controls are created hidden; only the chosen pattern's
// show. Mnemonics are unique among the controls shown together. The controls on the right are
// placed by Layout.
constexpr ControlSpec kArrangeControls[] = {
    // Saved setups, above every choice. Without mnemonics: every letter of their captions is
    // taken by the controls of one pattern or another.
    {kIdSetupLabel, 0, "STATIC", "Setup", kVisible | kLabel, 0, 8, 8, 42, 13},
    {kIdSetup, 0, "COMBOBOX", "", kVisible | kEditableList, 0, 52, 4, 98, 21},
    {kIdSetupSave, 0, "BUTTON", "Save", kButton, 0, 154, 3, 44, 23},
    {kIdSetupDelete, 0, "BUTTON", "Delete", kButton, 0, 202, 3, 46, 23},
    {kIdPatternBox, 0, "BUTTON", " Pattern ", kVisible | BS_GROUPBOX, 0, 8, 34, 240, 86},
    {kIdPatternRows, 0, "BUTTON", "Ro&ws or columns", kVisible | kFirstRadio, 0, 16, 50, 104, 17},
    {kIdPatternGrid, 0, "BUTTON", "&Grid", kVisible | kRadio, 0, 124, 50, 46, 17},
    {kIdPatternDistribute, 0, "BUTTON", "Distri&bute", kVisible | kRadio, 0, 16, 72, 76, 17},
    {kIdPatternAlign, 0, "BUTTON", "A&lign", kVisible | kRadio, 0, 96, 72, 54, 17},
    {kIdPatternCircle, 0, "BUTTON", "&Circle", kVisible | kRadio, 0, 156, 72, 60, 17},
    {kIdPatternReplicate, 0, "BUTTON", "Re&plicate", kVisible | kRadio, 0, 174, 50, 68, 17},
    // d is the only letter of its caption that no pattern's controls take.
    {kIdPatternSnap, 0, "BUTTON", "Snap to gri&d", kVisible | kRadio, 0, 16, 94, 100, 17},
    {kIdOrderLabel, 0, "STATIC", "&Order", kVisible | kLabel, 0, 8, 131, 60, 13},
    {kIdOrder, 0, "COMBOBOX", "", kVisible | kList, 0, 72, 127, 176, 21},
    {kIdTurn, 0, "BUTTON", "T&urn to", kVisible | kCheck, 0, 8, 155, 62, 17},
    {kIdTurnText, 0, "EDIT", "", kVisible | kEdit, WS_EX_CLIENTEDGE, 72, 153, 64, 21},
    {kIdTurnDegrees, 0, "STATIC", kDegrees, kVisible | kNote, 0, 140, 157, 60, 13},
    {kIdPanelBox, 0, "BUTTON", "", kVisible | BS_GROUPBOX, 0, 8, 180, 240, 322},
    // Rows or columns.
    {kIdRowsNote, 0, "STATIC",
     "The main window's run, with the main window's present choices: Apply is its Go.", kNote, 0,
     16, 200, 224, 42},
    // Grid.
    {kIdColumnsLabel, 0, "STATIC", "Colu&mns", kLabel, 0, 16, 203, 80, 13},
    {kIdColumns, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 200, 64, 21},
    {kIdPitchXLabel, 0, "STATIC", "Pitch &X", kLabel, 0, 16, 229, 80, 13},
    {kIdPitchX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 226, 64, 21},
    {kIdPitchXUnit, 0, "STATIC", "", kNote, 0, 168, 229, 72, 13},
    {kIdPitchYLabel, 0, "STATIC", "Pitch &Y", kLabel, 0, 16, 255, 80, 13},
    {kIdPitchY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 252, 64, 21},
    {kIdPitchYUnit, 0, "STATIC", "", kNote, 0, 168, 255, 72, 13},
    {kIdFillLabel, 0, "STATIC", "&Fill", kLabel, 0, 16, 281, 80, 13},
    {kIdFill, 0, "COMBOBOX", "", kList, 0, 100, 278, 140, 21},
    {kIdStartLabel, 0, "STATIC", "S&tart", kLabel, 0, 16, 307, 80, 13},
    {kIdStart, 0, "COMBOBOX", "", kList, 0, 100, 304, 140, 21},
    {kIdSnake, 0, "BUTTON", "S&nake", kCheck, 0, 16, 332, 200, 17},
    {kIdTurnOddRows, 0, "BUTTON", "Tu&rn every other row by 180\xB0", kCheck, 0, 16, 354, 224, 17},
    {kIdStagger, 0, "BUTTON", "Stagg&er every other line", kCheck, 0, 16, 376, 224, 17},
    {kIdGridKeepFirst, 0, "BUTTON", "&Keep the first in place", kCheck, 0, 16, 398, 224, 17},
    // Distribute.
    {kIdDistributeHorizontal, 0, "BUTTON", "&Horizontal", kFirstRadio, 0, 16, 202, 100, 17},
    {kIdDistributeVertical, 0, "BUTTON", "&Vertical", kRadio, 0, 16, 224, 100, 17},
    {kIdLineUp, 0, "BUTTON", "Li&ne up too", kCheck, 0, 16, 250, 200, 17},
    // Align.
    {kIdAlignHorizontal, 0, "BUTTON", "&Horizontal", kFirstRadio, 0, 16, 202, 96, 17},
    {kIdAlignVertical, 0, "BUTTON", "&Vertical", kRadio, 0, 16, 224, 96, 17},
    {kIdAlignFirst, 0, "BUTTON", "&Top", kFirstRadio, 0, 124, 202, 100, 17},
    {kIdAlignCentre, 0, "BUTTON", "C&entre", kRadio, 0, 124, 224, 100, 17},
    {kIdAlignLast, 0, "BUTTON", "Botto&m", kRadio, 0, 124, 246, 100, 17},
    // Circle.
    {kIdCentreSelection, 0, "BUTTON", "C&entre of the selection", kFirstRadio, 0, 16, 200, 200, 17},
    {kIdCentreAt, 0, "BUTTON", "A&t", kRadio, 0, 16, 220, 60, 17},
    {kIdCentreXLabel, 0, "STATIC", "Centre &X", kLabel, 0, 16, 247, 80, 13},
    {kIdCentreX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 244, 64, 21},
    {kIdCentreXUnit, 0, "STATIC", "", kNote, 0, 168, 247, 72, 13},
    {kIdCentreYLabel, 0, "STATIC", "Centre &Y", kLabel, 0, 16, 273, 80, 13},
    {kIdCentreY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 270, 64, 21},
    {kIdCentreYUnit, 0, "STATIC", "", kNote, 0, 168, 273, 72, 13},
    {kIdRadiusLabel, 0, "STATIC", "&Radius", kLabel, 0, 16, 299, 80, 13},
    {kIdRadius, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 296, 64, 21},
    {kIdRadiusUnit, 0, "STATIC", "", kNote, 0, 168, 299, 72, 13},
    {kIdRingStepLabel, 0, "STATIC", "R&ing step", kLabel, 0, 16, 325, 80, 13},
    {kIdRingStep, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 322, 64, 21},
    {kIdRingStepUnit, 0, "STATIC", "", kNote, 0, 168, 325, 72, 13},
    {kIdStartAngleLabel, 0, "STATIC", "Start a&ngle", kLabel, 0, 16, 351, 80, 13},
    {kIdStartAngle, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 348, 64, 21},
    {kIdStartAngleDegrees, 0, "STATIC", kDegrees, kNote, 0, 168, 351, 72, 13},
    // Without a mnemonic: beside the pattern buttons Circle's fields take every letter of "Span"
    // but p, which "Replicate" needs more.
    {kIdSpanLabel, 0, "STATIC", "Span", kLabel, 0, 16, 377, 80, 13},
    {kIdSpan, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 374, 64, 21},
    {kIdSpanDegrees, 0, "STATIC", kDegrees, kNote, 0, 168, 377, 72, 13},
    // Without a mnemonic: d goes to "Snap to grid", whose other letters are all taken.
    {kIdDirectionLabel, 0, "STATIC", "Direction", kLabel, 0, 16, 403, 80, 13},
    {kIdDirection, 0, "COMBOBOX", "", kList, 0, 100, 400, 140, 21},
    {kIdTurnWithCircle, 0, "BUTTON", "Turn wit&h the circle", kCheck, 0, 16, 427, 200, 17},
    {kIdOffsetLabel, 0, "STATIC", "O&ffset", kLabel, 0, 16, 453, 80, 13},
    {kIdOffset, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 450, 64, 21},
    {kIdOffsetDegrees, 0, "STATIC", kDegrees, kNote, 0, 168, 453, 72, 13},
    {kIdCircleKeepFirst, 0, "BUTTON", "&Keep the first in place", kCheck, 0, 16, 477, 224, 17},
    // Replicate.
    {kIdBlockSizeLabel, 0, "STATIC", "Bloc&k size", kLabel, 0, 16, 203, 80, 13},
    {kIdBlockSize, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 200, 64, 21},
    {kIdAnchorLabel, 0, "STATIC", "A&nchor", kLabel, 0, 16, 229, 80, 13},
    {kIdAnchor, 0, "COMBOBOX", "", kEditableList, 0, 100, 226, 140, 21},
    {kIdAtChannelAnchors, 0, "BUTTON", "At &each channel's anchor", kFirstRadio, 0, 16, 254, 200,
     17},
    {kIdInSteps, 0, "BUTTON", "&In steps", kRadio, 0, 16, 276, 200, 17},
    {kIdStepXLabel, 0, "STATIC", "Step &X", kLabel, 0, 32, 303, 64, 13},
    {kIdStepX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 300, 64, 21},
    {kIdStepXUnit, 0, "STATIC", "", kNote, 0, 168, 303, 72, 13},
    {kIdStepYLabel, 0, "STATIC", "Step &Y", kLabel, 0, 32, 329, 64, 13},
    {kIdStepY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 326, 64, 21},
    {kIdStepYUnit, 0, "STATIC", "", kNote, 0, 168, 329, 72, 13},
    {kIdReplicateNote, 0, "STATIC",
     "Channel = number / block size, role = prefix and the rest: with 100, R205 is channel 2's "
     "R5; with 1, D7 goes with SW7.",
     kNote, 0, 16, 358, 224, 56},
    // Snap to grid.
    {kIdGridXLabel, 0, "STATIC", "Grid &X", kLabel, 0, 16, 203, 80, 13},
    {kIdGridX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 200, 64, 21},
    {kIdGridXUnit, 0, "STATIC", "", kNote, 0, 168, 203, 72, 13},
    {kIdGridYLabel, 0, "STATIC", "Grid &Y", kLabel, 0, 16, 229, 80, 13},
    {kIdGridY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 226, 64, 21},
    {kIdGridYUnit, 0, "STATIC", "", kNote, 0, 168, 229, 72, 13},
    {kIdOriginXLabel, 0, "STATIC", "O&rigin X", kLabel, 0, 16, 255, 80, 13},
    {kIdOriginX, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 252, 64, 21},
    {kIdOriginXUnit, 0, "STATIC", "", kNote, 0, 168, 255, 72, 13},
    {kIdOriginYLabel, 0, "STATIC", "Orig&in Y", kLabel, 0, 16, 281, 80, 13},
    {kIdOriginY, 0, "EDIT", "", kEdit, WS_EX_CLIENTEDGE, 100, 278, 64, 21},
    {kIdOriginYUnit, 0, "STATIC", "", kNote, 0, 168, 281, 72, 13},
    // Right of the choices.
    {kIdArrangeMessages, 0, "LISTBOX", "",
     WS_VSCROLL | WS_TABSTOP | WS_GROUP | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, WS_EX_CLIENTEDGE, 0, 0,
     0, 0},
    {kIdArrangeSummary, 0, "STATIC", "", kVisible | kNote | SS_ENDELLIPSIS, 0, 0, 0, 0, 0},
    {kIdReadSelection, 0, "BUTTON", "Read &selection", kButton, 0, 0, 0, 0, 0},
    {kIdApply, 0, "BUTTON", "&Apply", kButton, 0, 0, 0, 0, 0},
    {kIdArrangeClose, 0, "BUTTON", "Close", kButton, 0, 0, 0, 0, 0},
    {kIdArrangeStatus, 0, STATUSCLASSNAMEA, "", kVisible | SBARS_SIZEGRIP, 0, 0, 0, 0, 0},
};

constexpr const char* kPatternNames[] = {" Rows or columns ", " Grid ",   " Distribute ",
                                         " Align ",           " Circle ", " Replicate ",
                                         " Snap to grid "};
constexpr int kPatternIds[] = {kIdPatternRows,  kIdPatternGrid,   kIdPatternDistribute,
                               kIdPatternAlign, kIdPatternCircle, kIdPatternReplicate,
                               kIdPatternSnap};
constexpr const char* kOrders[] = {"Increasing", "Decreasing", "By position"};
constexpr const char* kFills[] = {"Rows first", "Columns first"};
constexpr const char* kCorners[] = {"Top left", "Top right", "Bottom left", "Bottom right"};
constexpr const char* kDirections[] = {"Counter-clockwise", "Clockwise"};

// The pattern whose own control this is, or none for the shared ones.
std::optional<TArrangePattern> PatternOf(int id) {
  if (id >= kIdRowsNote && id < kIdColumnsLabel) return TArrangePattern::RowsOrColumns;
  if (id >= kIdColumnsLabel && id < kIdDistributeHorizontal) return TArrangePattern::Grid;
  if (id >= kIdDistributeHorizontal && id < kIdAlignHorizontal) return TArrangePattern::Distribute;
  if (id >= kIdAlignHorizontal && id < kIdCentreSelection) return TArrangePattern::Align;
  if (id >= kIdCentreSelection && id < kIdArrangeMessages) return TArrangePattern::Circle;
  if (id >= kIdBlockSizeLabel && id <= kIdReplicateNote) return TArrangePattern::Replicate;
  if (id >= kIdGridXLabel && id <= kIdOriginYUnit) return TArrangePattern::Snap;
  return std::nullopt;
}

bool IsLength(int id) {
  return id == kIdPitchX || id == kIdPitchY || id == kIdCentreX || id == kIdCentreY ||
         id == kIdRadius || id == kIdRingStep || id == kIdStepX || id == kIdStepY ||
         id == kIdGridX || id == kIdGridY || id == kIdOriginX || id == kIdOriginY;
}

bool IsLengthUnit(int id) {
  return id == kIdPitchXUnit || id == kIdPitchYUnit || id == kIdCentreXUnit ||
         id == kIdCentreYUnit || id == kIdRadiusUnit || id == kIdRingStepUnit ||
         id == kIdStepXUnit || id == kIdStepYUnit || id == kIdGridXUnit || id == kIdGridYUnit ||
         id == kIdOriginXUnit || id == kIdOriginYUnit;
}

// The drop-down lists show all their entries at once.
template <std::size_t N>
void FillList(HWND list, const char* const (&entries)[N]) {
  for (const char* entry : entries) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
  SendMessageA(list, CB_SETMINVISIBLE, N, 0);
}

int Selected(HWND list) {
  return std::max(0, static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)));
}

bool IsChecked(HWND button) {
  return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Check(HWND button, bool checked) {
  SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The entry chosen in a drop-down list; none while no entry is.
std::optional<std::string> ChosenEntry(HWND list) {
  const LRESULT chosen = SendMessageA(list, CB_GETCURSEL, 0, 0);
  const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(chosen), 0);
  if (chosen == CB_ERR || length == CB_ERR) return std::nullopt;
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(chosen),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// Fills a drop-down list anew. Emptying the list empties its field too: the text typed stays.
void RefillList(HWND list, const std::vector<std::string>& entries) {
  const std::string typed = WindowText(list);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  SendMessageA(list, CB_SETMINVISIBLE, 12, 0);
  SetWindowTextA(list, typed.c_str());
}

}  // namespace

TArrangeWindow::TArrangeWindow(HWND owner, IArrangeOwner& arranger, std::string settingsPath)
    : owner_(owner), arranger_(arranger), settingsPath_(std::move(settingsPath)) {
  const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_KORDANE));
  RegisterClassOnce(kArrangeClass, icon, GetSysColorBrush(COLOR_BTNFACE), CS_HREDRAW | CS_VREDRAW);
  RECT ownerFrame{};
  GetWindowRect(owner_, &ownerFrame);
  Create(kArrangeClass, kArrangeCaption, kWindowStyle, 0, ownerFrame.left, ownerFrame.top,
         kDefaultClientWidth, kDefaultClientHeight, owner_);
  if (Handle() == nullptr) throw std::runtime_error("Cannot create the Arrange window");
  DestroyOnFailure destroyOnFailure(*this);

  dpi_ = WindowDpi(Handle());
  SetScaledClientSize(Handle(), kDefaultClientWidth, kDefaultClientHeight, dpi_);
  font_ = CreateDialogFont(dpi_, false);
  SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  controls_ = CreateControls(Handle(), kArrangeControls, font_.Get(), dpi_);
  FillList(Control(kIdOrder), kOrders);
  FillList(Control(kIdFill), kFills);
  FillList(Control(kIdStart), kCorners);
  FillList(Control(kIdDirection), kDirections);

  ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'Z', kIdArrangeUndo},
                  {FCONTROL | FVIRTKEY, 'Y', kIdArrangeRedo},
                  {FCONTROL | FSHIFT | FVIRTKEY, 'Z', kIdArrangeRedo},
                  {FVIRTKEY, VK_F5, kIdReadSelection}};
  shortcuts_.reset(CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys))));

  try {
    IniFileProfile profile(settingsPath_, arrange_keys::kSection);
    choices_ = LoadArrangeChoices(profile);
    defaultLengths_ = !StoresArrangeLengths(profile);
  } catch (const std::exception&) {
    choices_ = {};  // an unreadable file: the defaults
  }
  ShowChoices(choices_);
  ShowSetupNames();
  RestoreFramePlace(Handle(), owner_, settingsPath_, arrange_keys::kSection);
  Layout();
}

TArrangeWindow::~TArrangeWindow() {
  if (Handle() != nullptr) DestroyWindow(Handle());
}

std::span<const ControlSpec> ArrangeLayout() {
  return kArrangeControls;
}

int TArrangeWindow::Px(int value) const {
  return Scale(value, dpi_);
}

HWND TArrangeWindow::Control(int id) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (kArrangeControls[i].id == id) return controls_[i];
  }
  return nullptr;
}

void TArrangeWindow::ShowChoices(const TArrangeChoices& choices) {
  CountGuard guard(showingChoices_);
  const auto text = [this](int id, const std::string& value) {
    SetWindowTextA(Control(id), value.c_str());
  };
  for (std::size_t i = 0; i < std::size(kPatternIds); ++i) {
    Check(Control(kPatternIds[i]), static_cast<std::size_t>(choices.pattern) == i);
  }
  SendMessageA(Control(kIdOrder), CB_SETCURSEL, static_cast<WPARAM>(choices.order), 0);
  Check(Control(kIdTurn), choices.turn);
  text(kIdTurnText, choices.turnText);
  text(kIdColumns, choices.columnsText);
  text(kIdPitchX, choices.pitchXText);
  text(kIdPitchY, choices.pitchYText);
  SendMessageA(Control(kIdFill), CB_SETCURSEL, choices.columnsFirst ? 1 : 0, 0);
  SendMessageA(Control(kIdStart), CB_SETCURSEL, static_cast<WPARAM>(choices.start), 0);
  Check(Control(kIdSnake), choices.snake);
  Check(Control(kIdTurnOddRows), choices.turnOddLines);
  Check(Control(kIdStagger), choices.stagger);
  Check(Control(kIdGridKeepFirst), choices.keepFirst);
  Check(Control(kIdCircleKeepFirst), choices.keepFirst);
  const bool distributeVertical = choices.distributeAxis == TArrangeAxis::Vertical;
  Check(Control(kIdDistributeHorizontal), !distributeVertical);
  Check(Control(kIdDistributeVertical), distributeVertical);
  Check(Control(kIdLineUp), choices.lineUp);
  const bool alignVertical = choices.alignAxis == TArrangeAxis::Vertical;
  Check(Control(kIdAlignHorizontal), !alignVertical);
  Check(Control(kIdAlignVertical), alignVertical);
  Check(Control(kIdAlignFirst), choices.alignEdge == TAlignEdge::TopOrLeft);
  Check(Control(kIdAlignCentre), choices.alignEdge == TAlignEdge::Centre);
  Check(Control(kIdAlignLast), choices.alignEdge == TAlignEdge::BottomOrRight);
  Check(Control(kIdCentreSelection), !choices.centreAt);
  Check(Control(kIdCentreAt), choices.centreAt);
  text(kIdCentreX, choices.centreXText);
  text(kIdCentreY, choices.centreYText);
  text(kIdRadius, choices.radiusText);
  text(kIdRingStep, choices.ringStepText);
  text(kIdStartAngle, choices.startAngleText);
  text(kIdSpan, choices.spanText);
  SendMessageA(Control(kIdDirection), CB_SETCURSEL, choices.clockwise ? 1 : 0, 0);
  Check(Control(kIdTurnWithCircle), choices.turnWithCircle);
  text(kIdOffset, choices.offsetText);
  text(kIdBlockSize, choices.blockSizeText);
  text(kIdAnchor, choices.anchorText);
  Check(Control(kIdAtChannelAnchors), !choices.inSteps);
  Check(Control(kIdInSteps), choices.inSteps);
  text(kIdStepX, choices.stepXText);
  text(kIdStepY, choices.stepYText);
  text(kIdGridX, choices.gridXText);
  text(kIdGridY, choices.gridYText);
  text(kIdOriginX, choices.originXText);
  text(kIdOriginY, choices.originYText);
}

TArrangeChoices TArrangeWindow::ChoicesShown() const {
  TArrangeChoices choices;
  for (std::size_t i = 0; i < std::size(kPatternIds); ++i) {
    if (IsChecked(Control(kPatternIds[i]))) choices.pattern = static_cast<TArrangePattern>(i);
  }
  choices.order = static_cast<TArrangeOrder>(Selected(Control(kIdOrder)));
  choices.turn = IsChecked(Control(kIdTurn));
  choices.turnText = WindowText(Control(kIdTurnText));
  choices.columnsText = WindowText(Control(kIdColumns));
  choices.pitchXText = WindowText(Control(kIdPitchX));
  choices.pitchYText = WindowText(Control(kIdPitchY));
  choices.columnsFirst = Selected(Control(kIdFill)) == 1;
  choices.start = static_cast<TGridCorner>(Selected(Control(kIdStart)));
  choices.snake = IsChecked(Control(kIdSnake));
  choices.turnOddLines = IsChecked(Control(kIdTurnOddRows));
  choices.stagger = IsChecked(Control(kIdStagger));
  // Grid's and Circle's boxes are one choice: the one clicked is copied to the other.
  choices.keepFirst = IsChecked(Control(kIdGridKeepFirst));
  choices.distributeAxis =
      IsChecked(Control(kIdDistributeVertical)) ? TArrangeAxis::Vertical : TArrangeAxis::Horizontal;
  choices.lineUp = IsChecked(Control(kIdLineUp));
  choices.alignAxis =
      IsChecked(Control(kIdAlignVertical)) ? TArrangeAxis::Vertical : TArrangeAxis::Horizontal;
  choices.alignEdge = IsChecked(Control(kIdAlignFirst))  ? TAlignEdge::TopOrLeft
                      : IsChecked(Control(kIdAlignLast)) ? TAlignEdge::BottomOrRight
                                                         : TAlignEdge::Centre;
  choices.centreAt = IsChecked(Control(kIdCentreAt));
  choices.centreXText = WindowText(Control(kIdCentreX));
  choices.centreYText = WindowText(Control(kIdCentreY));
  choices.radiusText = WindowText(Control(kIdRadius));
  choices.ringStepText = WindowText(Control(kIdRingStep));
  choices.startAngleText = WindowText(Control(kIdStartAngle));
  choices.spanText = WindowText(Control(kIdSpan));
  choices.clockwise = Selected(Control(kIdDirection)) == 1;
  choices.turnWithCircle = IsChecked(Control(kIdTurnWithCircle));
  choices.offsetText = WindowText(Control(kIdOffset));
  choices.blockSizeText = WindowText(Control(kIdBlockSize));
  choices.anchorText = WindowText(Control(kIdAnchor));
  choices.inSteps = IsChecked(Control(kIdInSteps));
  choices.stepXText = WindowText(Control(kIdStepX));
  choices.stepYText = WindowText(Control(kIdStepY));
  choices.gridXText = WindowText(Control(kIdGridX));
  choices.gridYText = WindowText(Control(kIdGridY));
  choices.originXText = WindowText(Control(kIdOriginX));
  choices.originYText = WindowText(Control(kIdOriginY));
  return choices;
}

void TArrangeWindow::ShowPatternControls() {
  const TArrangePattern pattern = choices_.pattern;
  // The design's own units, whatever the main window's unit buttons did.
  const std::string units = UnitsName(selection_ ? selection_->DesignUnits() : kUnitsUnknown);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const int id = kArrangeControls[i].id;
    const std::optional<TArrangePattern> own = PatternOf(id);
    if (own) ShowWindow(controls_[i], *own == pattern ? SW_SHOWNA : SW_HIDE);
    if (IsLengthUnit(id)) SetWindowTextA(controls_[i], units.c_str());
  }
  SetWindowTextA(Control(kIdPanelBox), kPatternNames[static_cast<int>(pattern)]);
  const bool vertical = choices_.alignAxis == TArrangeAxis::Vertical;
  SetWindowTextA(Control(kIdAlignFirst), vertical ? "Le&ft" : "&Top");
  SetWindowTextA(Control(kIdAlignLast), vertical ? "&Right" : "Botto&m");

  // "Rows or columns" is the main window's run, with the main window's order and turn; Replicate
  // takes the order and the angles from the reference channel; Snap needs no order.
  const bool own =
      pattern != TArrangePattern::RowsOrColumns && pattern != TArrangePattern::Replicate;
  for (const int id : {kIdOrderLabel, kIdOrder}) {
    EnableWindow(Control(id), own && pattern != TArrangePattern::Snap);
  }
  for (const int id : {kIdTurn, kIdTurnDegrees}) EnableWindow(Control(id), own);
  EnableWindow(Control(kIdTurnText), own && choices_.turn);
  EnableWindow(Control(kIdOffset), choices_.turnWithCircle);
  EnableWindow(Control(kIdOffsetLabel), choices_.turnWithCircle);
  for (const int id : {kIdCentreXLabel, kIdCentreX, kIdCentreYLabel, kIdCentreY}) {
    EnableWindow(Control(id), choices_.centreAt);
  }
  for (const int id :
       {kIdStepXLabel, kIdStepX, kIdStepXUnit, kIdStepYLabel, kIdStepY, kIdStepYUnit}) {
    EnableWindow(Control(id), choices_.inSteps);
  }
}

void TArrangeWindow::Refresh() {
  choices_ = ChoicesShown();
  ShowPatternControls();
  bool applicable = true;
  if (!readFailure_.empty()) {
    // The host could not be read; Apply tries it again.
    picture_ = TPreview{};
    picture_.failure = readFailure_;
  } else {
    TSelectionHost& memory = *selection_;
    if (choices_.pattern == TArrangePattern::RowsOrColumns) {
      picture_ = MakePreview(memory, arranger_.MainInputs(), arranger_.MainRotationText());
    } else {
      picture_ = MakeArrangePreview(memory, choices_);
    }
    applicable = picture_.failure.empty();
  }
  const std::string& summary = !setupProblem_.empty()      ? setupProblem_
                               : !picture_.failure.empty() ? picture_.failure
                                                           : picture_.summary;
  SetWindowTextA(Control(kIdArrangeSummary), summary.c_str());
  EnableWindow(Control(kIdApply), applicable);

  const HWND messages = Control(kIdArrangeMessages);
  SendMessageA(messages, LB_RESETCONTENT, 0, 0);
  for (const std::string& message : picture_.messages) {
    SendMessageA(messages, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(message.c_str()));
  }
  ShowWindow(messages, picture_.messages.empty() ? SW_HIDE : SW_SHOWNA);
  Layout();
}

void TArrangeWindow::ReadAgain() {
  TSelectionRead read = arranger_.ReadSelection();
  readFailure_ = std::move(read.failure);
  selection_ = std::make_unique<TSelectionHost>(std::move(read.components), read.units);
  if (defaultLengths_) {
    TArrangeChoices shown = ChoicesShown();
    SetDefaultLengths(shown, read.units);
    ShowChoices(shown);
  }
  ShowAnchorCandidates();
  Refresh();
}

void TArrangeWindow::ShowAnchorCandidates() {
  CountGuard guard(showingChoices_);
  RefillList(Control(kIdAnchor), readFailure_.empty() ? AnchorCandidates(selection_->Selection())
                                                      : std::vector<std::string>{});
}

void TArrangeWindow::Apply() {
  choices_ = ChoicesShown();
  // However the run ends, the window shows the selection as it now is; an error that ended it
  // is reported after that.
  std::exception_ptr failure;
  try {
    if (choices_.pattern == TArrangePattern::RowsOrColumns) {
      arranger_.Go();
    } else {
      arranger_.Arrange(choices_);
    }
  } catch (...) {
    failure = std::current_exception();
  }
  SetStatus(arranger_.StatusLine());
  ReadAgain();
  if (failure) std::rethrow_exception(failure);
}

void TArrangeWindow::Undo() {
  if (!arranger_.UndoLastRun()) return;
  SetStatus(arranger_.StatusLine());
  ReadAgain();
}

void TArrangeWindow::Redo() {
  if (!arranger_.RedoLastUndone()) return;
  SetStatus(arranger_.StatusLine());
  ReadAgain();
}

void TArrangeWindow::ShowSetupNames() {
  CountGuard guard(showingChoices_);
  std::vector<std::string> names;
  try {
    IniFile file(settingsPath_);
    names = SetupNames(file);
  } catch (const std::exception&) {
    // An unreadable file lists none.
  }
  RefillList(Control(kIdSetup), names);
  ShowSetupButtons();
}

void TArrangeWindow::ShowSetupButtons() {
  const HWND setup = Control(kIdSetup);
  const std::string typed = WindowText(setup);
  // Nothing typed is no mistake: Save is only unavailable.
  setupProblem_ = typed.empty() ? std::string() : SetupNameProblem(typed);
  EnableWindow(Control(kIdSetupSave), !typed.empty() && setupProblem_.empty());
  const std::string name = TrimmedSetupName(typed);
  const bool listed = setupProblem_.empty() && !name.empty() &&
                      SendMessageA(setup, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(name.c_str())) != CB_ERR;
  EnableWindow(Control(kIdSetupDelete), listed);
}

void TArrangeWindow::SaveSetupTyped() {
  const std::string typed = WindowText(Control(kIdSetup));
  try {
    IniFile file(settingsPath_);
    SaveSetup(file, typed, ChoicesShown());
    SetStatus("Setup \"" + TrimmedSetupName(typed) + "\" saved");
  } catch (const std::exception& error) {
    SetStatus(error.what());
  }
  ShowSetupNames();
}

void TArrangeWindow::DeleteSetupTyped() {
  const std::string typed = WindowText(Control(kIdSetup));
  try {
    IniFile file(settingsPath_);
    DeleteSetup(file, typed);
    SetStatus("Setup \"" + TrimmedSetupName(typed) + "\" deleted");
  } catch (const std::exception& error) {
    SetStatus(error.what());
  }
  ShowSetupNames();
}

void TArrangeWindow::ChooseSetup() {
  const std::optional<std::string> chosen = ChosenEntry(Control(kIdSetup));
  if (!chosen) return;
  const std::string& name = *chosen;
  std::optional<TArrangeChoices> loaded;
  try {
    IniFile file(settingsPath_);
    loaded = LoadSetup(file, name);
  } catch (const std::exception&) {
    loaded.reset();
  }
  {
    // The field shows the entry chosen only after this notice.
    CountGuard guard(showingChoices_);
    SetWindowTextA(Control(kIdSetup), name.c_str());
  }
  if (loaded) {
    ShowChoices(*loaded);
    defaultLengths_ = false;  // the setup's lengths, as saved
  }
  ShowSetupButtons();
  Refresh();
}

void TArrangeWindow::SetStatus(const std::string& text) {
  SendMessageA(Control(kIdArrangeStatus), SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

RECT TArrangeWindow::PictureRect() const {
  RECT client{};
  GetClientRect(Handle(), &client);
  RECT status{};
  GetWindowRect(Control(kIdArrangeStatus), &status);
  const int statusHeight = status.bottom - status.top;
  const int gap = Px(kGap);
  int bottom =
      client.bottom - statusHeight - gap - Px(kButtonHeight) - gap - Px(kSummaryHeight) - gap;
  if (!picture_.messages.empty()) bottom -= Px(kMessagesHeight) + gap;
  const int left = Px(kPictureLeft);
  return RECT{left, gap, std::max<LONG>(left + 1, client.right - gap), std::max(gap + 1, bottom)};
}

void TArrangeWindow::Layout() {
  SendMessageA(Control(kIdArrangeStatus), WM_SIZE, 0, 0);
  RECT client{};
  GetClientRect(Handle(), &client);
  RECT status{};
  GetWindowRect(Control(kIdArrangeStatus), &status);
  const RECT picture = PictureRect();
  const int width = picture.right - picture.left;
  const int gap = Px(kGap);
  const int buttonWidth = Px(kButtonWidth);
  const int buttonHeight = Px(kButtonHeight);
  const int buttonsTop = client.bottom - (status.bottom - status.top) - gap - buttonHeight;
  const int closeLeft = client.right - gap - buttonWidth;
  const int applyLeft = closeLeft - gap - buttonWidth;
  const int readLeft = applyLeft - gap - Px(kWideButtonWidth);
  MoveWindow(Control(kIdArrangeClose), closeLeft, buttonsTop, buttonWidth, buttonHeight, TRUE);
  MoveWindow(Control(kIdApply), applyLeft, buttonsTop, buttonWidth, buttonHeight, TRUE);
  MoveWindow(Control(kIdReadSelection), readLeft, buttonsTop, Px(kWideButtonWidth), buttonHeight,
             TRUE);
  int below = picture.bottom + gap;
  if (!picture_.messages.empty()) {
    MoveWindow(Control(kIdArrangeMessages), picture.left, below, width, Px(kMessagesHeight), TRUE);
    below += Px(kMessagesHeight) + gap;
  }
  MoveWindow(Control(kIdArrangeSummary), picture.left, below, width, Px(kSummaryHeight), TRUE);
  InvalidateRect(Handle(), &picture, FALSE);
}

void TArrangeWindow::Paint(HDC dc) {
  PaintRunPicture(dc, PictureRect(), picture_, font_.Get(), dpi_);
}

void TArrangeWindow::ShowModal() {
  result_ = 0;
  {
    ReenableOnExit ownerDisabled(owner_);
    ReadAgain();
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetFocus(Control(kPatternIds[static_cast<int>(choices_.pattern)]));
    RunModalLoop(Handle(), result_, shortcuts_.get());
  }
  // The owner is enabled again before the window goes, so that it gets the activation back.
  ShowWindow(Handle(), SW_HIDE);
}

void TArrangeWindow::OnCommand(int id, int code) {
  switch (id) {
    case kIdReadSelection:
      if (code == BN_CLICKED || code == 1) ReadAgain();
      return;
    case kIdApply:
      if (code == BN_CLICKED && IsWindowEnabled(Control(kIdApply))) Apply();
      return;
    case kIdArrangeUndo:
      Undo();
      return;
    case kIdArrangeRedo:
      Redo();
      return;
    case kIdArrangeClose:
      PostMessageA(Handle(), WM_CLOSE, 0, 0);
      return;
    case kIdSetupSave:
      if (code == BN_CLICKED && IsWindowEnabled(Control(kIdSetupSave))) SaveSetupTyped();
      return;
    case kIdSetupDelete:
      if (code == BN_CLICKED && IsWindowEnabled(Control(kIdSetupDelete))) DeleteSetupTyped();
      return;
    case kIdSetup:
      if (showingChoices_ > 0) return;
      if (code == CBN_SELCHANGE) {
        ChooseSetup();
      } else if (code == CBN_EDITCHANGE) {
        ShowSetupButtons();
        Refresh();
      }
      return;
    default:
      break;
  }
  if (showingChoices_ > 0) return;
  if (code == EN_CHANGE && IsLength(id)) defaultLengths_ = false;
  if ((id == kIdGridKeepFirst || id == kIdCircleKeepFirst) && code == BN_CLICKED) {
    const bool keep = IsChecked(Control(id));
    Check(Control(kIdGridKeepFirst), keep);
    Check(Control(kIdCircleKeepFirst), keep);
  }
  if (id == kIdAnchor && code == CBN_SELCHANGE) {
    // The field shows the entry chosen only after this notice.
    const std::optional<std::string> chosen = ChosenEntry(Control(kIdAnchor));
    if (!chosen) return;
    CountGuard guard(showingChoices_);
    SetWindowTextA(Control(kIdAnchor), chosen->c_str());
  }
  const bool changed =
      code == BN_CLICKED || code == EN_CHANGE || code == CBN_SELCHANGE || code == CBN_EDITCHANGE;
  if (changed && Control(id) != nullptr) Refresh();
}

LRESULT TArrangeWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      if (result_ == 0) {
        try {
          IniFileProfile profile(settingsPath_, arrange_keys::kSection);
          SaveArrangeChoices(profile, ChoicesShown());
        } catch (const SettingsWriteError&) {
          // The window still closes; its choices come back as they were stored before.
        }
        SaveFramePlace(Handle(), settingsPath_, arrange_keys::kSection);
        result_ = IDCANCEL;
      }
      return 0;
    case DM_GETDEFID: {
      // Enter presses the focused button; with the focus elsewhere it does nothing.
      const HWND focus = GetFocus();
      const int focused = GetDlgCtrlID(focus);
      const bool isButton = focused == kIdReadSelection || focused == kIdApply ||
                            focused == kIdArrangeClose || focused == kIdSetupSave ||
                            focused == kIdSetupDelete;
      return isButton ? MAKELRESULT(focused, DC_HASDEFID) : 0;
    }
    case WM_NEXTDLGCTL:
      return MoveDialogFocus(Handle(), wParam, lParam);
    case WM_SIZE:
      Layout();
      return 0;
    case WM_GETMINMAXINFO: {
      RECT frame{0, 0, Px(kMinimumClientWidth), Px(kMinimumClientHeight)};
      AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
      LONG width = frame.right - frame.left;
      LONG height = frame.bottom - frame.top;
      // Never larger than the screen it is on, whatever its scale.
      MONITORINFO monitor{};
      monitor.cbSize = sizeof monitor;
      if (GetMonitorInfoA(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor)) {
        width = std::min(width, monitor.rcWork.right - monitor.rcWork.left);
        height = std::min(height, monitor.rcWork.bottom - monitor.rcWork.top);
      }
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = POINT{width, height};
      return 0;
    }
    case WM_DPICHANGED: {
      dpi_ = DpiOfDpiChanged(wParam);
      // The controls take the new font before the old one goes.
      GdiObject<HFONT> font = CreateDialogFont(dpi_, false);
      SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
      LayOutControls(controls_, kArrangeControls, font.Get(), dpi_);
      font_ = std::move(font);
      MoveToSuggestedRect(Handle(), lParam);
      Layout();
      return 0;
    }
    case WM_ERASEBKGND:
      EraseAroundPicture(Handle(), reinterpret_cast<HDC>(wParam), PictureRect());
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(Handle(), &paint);
      Paint(dc);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      // A parameter that is not valid is named in red.
      const bool named = reinterpret_cast<HWND>(lParam) == Control(kIdArrangeSummary) &&
                         (!picture_.failure.empty() || !setupProblem_.empty());
      if (named) SetTextColor(dc, RGB(200, 0, 0));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      KeepFocusOnActivate(Handle(), wParam, lastFocus_, nullptr);
      return 0;
    default:
      return DefaultHandling(message, wParam, lParam);
  }
}

void ShowArrangeWindow(HWND owner, IArrangeOwner& arranger, const std::string& settingsPath) {
  TArrangeWindow window(owner, arranger, settingsPath);
  window.ShowModal();
}

}  // namespace kordane::ui
