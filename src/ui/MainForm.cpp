#include "ui/MainForm.h"

#include <commctrl.h>

#include <utility>

#include "host/DbxUtils.h"
#include "placement/Preview.h"
#include "placement/SwapPlaces.h"
#include "settings/win32/IniFileProfile.h"
#include "ui/AboutBox.h"
#include "ui/ArtResources.h"
#include "ui/Dpi.h"
#include "ui/FramePlace.h"
#include "ui/PreviewWindow.h"

namespace kordane::ui {
namespace {

constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kGroupBox = kVisible | BS_GROUPBOX;
constexpr DWORD kButton = kVisible | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheckBox = kVisible | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kRadio = kVisible | BS_AUTORADIOBUTTON;
constexpr DWORD kContainer = WS_EX_CONTROLPARENT;

// The window's layout, in creation order, which is also the tab order within each parent.
constexpr ControlSpec kControls[] = {
    {kIdAlign, 0, "BUTTON", "&Go!", kButton, 0, 8, 120, 105, 25},
    {kIdGroupBox1, 0, "BUTTON", " Alignment ", kGroupBox, kContainer, 120, 88, 89, 57},
    {kIdHorizontal, kIdGroupBox1, "BUTTON", "&Horizontal", kRadio | WS_GROUP | WS_TABSTOP, 0, 4, 16,
     73, 17},
    {kIdVertical, kIdGroupBox1, "BUTTON", "&Vertical", kRadio, 0, 4, 32, 65, 17},
    {kIdGroupBox2, 0, "BUTTON", " &Spacing ", kGroupBox, kContainer, 8, 0, 105, 73},
    {kIdSpacing, kIdGroupBox2, "EDIT", "0", kVisible | WS_TABSTOP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE, 24, 18, 49, 21},
    {kIdToMils, kIdGroupBox2, "BUTTON", "Mils", kButton, 0, 8, 44, 41, 21},
    {kIdToMm, kIdGroupBox2, "BUTTON", "Mm", kButton, 0, 56, 44, 41, 21},
    {kIdDoSpace, kIdGroupBox2, "BUTTON", "", kCheckBox, 0, 8, 21, 17, 17},
    {kIdUnits, kIdGroupBox2, "STATIC", "Unit", kVisible | SS_LEFT | SS_NOPREFIX, 0, 78, 22, 19, 13},
    {kIdOnTop, 0, "BUTTON", "Stay on &top", kCheckBox | BS_LEFTTEXT, 0, 136, 0, 73, 17},
    {kIdStatusBar, 0, STATUSCLASSNAMEA, "", kVisible | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 0, 148,
     214, 19},
    {kIdGroupBox3, 0, "BUTTON", " Sort order ", kGroupBox, kContainer, 120, 16, 89, 73},
    {kIdUp, kIdGroupBox3, "BUTTON", "&Increasing", kRadio | WS_GROUP | WS_TABSTOP, 0, 4, 33, 73,
     17},
    {kIdNone, kIdGroupBox3, "BUTTON", "&Unchanged", kRadio, 0, 4, 16, 81, 17},
    {kIdDown, kIdGroupBox3, "BUTTON", "&Decreasing", kRadio, 0, 4, 50, 73, 17},
    {kIdGroupBox4, 0, "BUTTON", " &Rotation ", kGroupBox, kContainer, 8, 74, 105, 43},
    {kIdRotation, kIdGroupBox4, "COMBOBOX", "",
     kVisible | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 32, 16, 65, 21},
    {kIdDoRotate, kIdGroupBox4, "BUTTON", "", kCheckBox, 0, 8, 19, 17, 17},
};
static_assert(std::size(kControls) == kIdLast - kIdAlign);

// The history's entries without a step; with one, its name follows the mnemonic's word.
constexpr const char* kUndoEntry = "&Undo\tCtrl+Z";
constexpr const char* kRedoEntry = "R&edo\tCtrl+Y";

constexpr const char* kRotationChoices[] = {"-135", "-90", "-45", "0", "45", "90", "135", "180"};
constexpr int kRotationRows = 9;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;

// The window's view, except that designators without a number are not shown in message boxes:
// the Arrange window lists them, and Swap places has no use for their numbers.
class QuietRefDesView final : public IPlacementView {
 public:
  explicit QuietRefDesView(IPlacementView& window) : window_(window) {}
  void SetStatusText(const std::string& text) override { window_.SetStatusText(text); }
  void SetUnitsLabel(const std::string& text) override { window_.SetUnitsLabel(text); }
  void BeginWaitCursor() override { window_.BeginWaitCursor(); }
  void EndWaitCursor() override { window_.EndWaitCursor(); }
  std::string RotationText() override { return window_.RotationText(); }
  void ShowRefDesError(const std::string&) override {}

 private:
  IPlacementView& window_;
};

int IdOf(TControl control) {
  switch (control) {
    case TControl::rbHorizontal:
      return kIdHorizontal;
    case TControl::rbVertical:
      return kIdVertical;
    case TControl::rbUp:
      return kIdUp;
    case TControl::rbDown:
      return kIdDown;
    case TControl::rbNone:
      return kIdNone;
    case TControl::cbDoSpace:
      return kIdDoSpace;
    case TControl::cbDoRotate:
      return kIdDoRotate;
    case TControl::cbOnTop:
      return kIdOnTop;
    case TControl::eSpacing:
      return kIdSpacing;
    case TControl::cbRotation:
      return kIdRotation;
    case TControl::lUnits:
      return kIdUnits;
  }
  return kIdUnits;
}

}  // namespace

std::span<const ControlSpec> MainFormLayout() {
  return kControls;
}

TfrmMain::TfrmMain(std::string settingsPath, DbxHost host)
    : settingsPath_(std::move(settingsPath)), host_(std::move(host)) {}

TfrmMain::~TfrmMain() {
  if (Handle() != nullptr) DestroyWindow(Handle());
  if (popupMenu_ != nullptr) DestroyMenu(popupMenu_);
}

HWND TfrmMain::Control(int id) const {
  if (id < kIdAlign || id >= kIdLast) return nullptr;
  return controls_[static_cast<std::size_t>(id - kIdAlign)];
}

HWND TfrmMain::HandleOf(TControl control) const {
  return Control(IdOf(control));
}

void TfrmMain::Show() {
  const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_KORDANE));
  RegisterClassOnce(kMainWindowClass, icon, GetSysColorBrush(COLOR_BTNFACE));
  Create(kMainWindowClass, kApplicationTitle, kWindowStyle, 0, normalLeft_, normalTop_,
         kClientWidth, kClientHeight, nullptr);
  if (Handle() == nullptr) throw std::runtime_error("Cannot create the main window");

  dpi_ = WindowDpi(Handle());
  SetScaledClientSize(Handle(), kClientWidth, kClientHeight, dpi_);
  font_ = CreateDialogFont(dpi_, false);
  boldFont_ = CreateDialogFont(dpi_, true);
  SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  const auto handles = CreateControls(Handle(), kControls, font_.Get(), dpi_);
  std::copy(handles.begin(), handles.end(), controls_.begin());
  SendMessageA(Control(kIdAlign), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), FALSE);
  SendMessageA(Control(kIdStatusBar), SB_SIMPLE, TRUE, 0);
  // Design-time state: horizontal, increasing.
  SendMessageA(Control(kIdHorizontal), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(Control(kIdUp), BM_SETCHECK, BST_CHECKED, 0);

  popupMenu_ = CreatePopupMenu();
  AppendMenuA(popupMenu_, MF_STRING, kIdPreview, "&Preview...");
  AppendMenuA(popupMenu_, MF_STRING, kIdArrange, "A&rrange...");
  AppendMenuA(popupMenu_, MF_STRING, kIdSwapPlaces, "&Swap places\tCtrl+Shift+S");
  AppendMenuA(popupMenu_, MF_STRING, kIdUndo, kUndoEntry);
  AppendMenuA(popupMenu_, MF_STRING, kIdRedo, kRedoEntry);
  AppendMenuA(popupMenu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popupMenu_, MF_STRING, kIdAbout, "&About");
  UpdateHistoryEntries();
  ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'Z', kIdUndo},
                  {FCONTROL | FVIRTKEY, 'Y', kIdRedo},
                  {FCONTROL | FSHIFT | FVIRTKEY, 'Z', kIdRedo},
                  {FCONTROL | FSHIFT | FVIRTKEY, 'S', kIdSwapPlaces}};
  shortcuts_.reset(CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys))));

  FormCreate();

  switch (windowState_) {
    case TWindowState::Minimized:
      ShowWindow(Handle(), SW_SHOWMINIMIZED);
      break;
    case TWindowState::Maximized:
      ShowWindow(Handle(), SW_SHOWMAXIMIZED);
      break;
    case TWindowState::Normal:
      ShowWindow(Handle(), SW_SHOWNORMAL);
      break;
  }
  UpdateWindow(Handle());
}

void TfrmMain::ApplyDpi(int dpi) {
  dpi_ = dpi;
  // The controls take the new fonts before the old ones go.
  GdiObject<HFONT> font = CreateDialogFont(dpi_, false);
  GdiObject<HFONT> boldFont = CreateDialogFont(dpi_, true);
  SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
  LayOutControls(controls_, kControls, font.Get(), dpi_);
  SendMessageA(Control(kIdAlign), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont.Get()), TRUE);
  font_ = std::move(font);
  boldFont_ = std::move(boldFont);
}

void TfrmMain::FormCreate() {
  FSettings = std::make_unique<TGlobalSettings>(logic_);
  {
    IniFileProfile profile(settingsPath_, settings_keys::kSection);
    FSettings->Load(profile);
  }
  // The stored place is applied as it stands, unless it would leave the only window on no monitor
  // at all (one unplugged since): then nothing could be clicked, not even to close it.
  BringOntoAMonitor(Handle());
  DbUnits = kUnitsUnknown;
  SetWindowLongPtrA(Control(kIdToMils), GWLP_USERDATA, kUnitsMils);
  SetWindowLongPtrA(Control(kIdToMm), GWLP_USERDATA, kUnitsMm);

  const HWND rotation = Control(kIdRotation);
  for (const char* choice : kRotationChoices) {
    SendMessageA(rotation, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
  }
  SendMessageA(rotation, CB_SETMINVISIBLE, kRotationRows, 0);

  logic_.LearnDesignUnits(host_, FDesignOpen);
}

void TfrmMain::FormClose() {
  try {
    IniFileProfile profile(settingsPath_, settings_keys::kSection);
    FSettings->Save(profile);
  } catch (const SettingsWriteError& error) {
    // A settings file that cannot be written must not keep the user from quitting.
    ShowErrorReport(Handle(), error.what());
  }
  if (FDesignOpen) {
    host_.Api().TCloseDesign(&DbxContext, kCloseMessage);
    FDesignOpen = false;
  }
}

void TfrmMain::bAlignClick() {
  HistoryEntriesRefresh refresh{*this};
  undo_.Run(host_, logic_.Inputs(), *this, FDesignOpen);
}

void TfrmMain::Undo1Click() {
  HistoryEntriesRefresh refresh{*this};
  undo_.Undo(host_, *this, FDesignOpen);
}

void TfrmMain::Redo1Click() {
  HistoryEntriesRefresh refresh{*this};
  undo_.Redo(host_, *this, FDesignOpen);
}

bool TfrmMain::UndoLastRun() {
  if (!undo_.CanUndo()) return false;
  Undo1Click();
  return true;
}

bool TfrmMain::RedoLastUndone() {
  if (!undo_.CanRedo()) return false;
  Redo1Click();
  return true;
}

void TfrmMain::Preview1Click() {
  TPreview preview = MakePreview(host_, logic_.Inputs(), RotationText(), this);
  if (ShowPreview(Handle(), std::move(preview), settingsPath_)) bAlignClick();
}

void TfrmMain::Arrange1Click() {
  ShowArrangeWindow(Handle(), *this, settingsPath_);
}

TSelectionRead TfrmMain::ReadSelection() {
  return kordane::ReadSelection(host_, this);
}

std::string TfrmMain::MainRotationText() const {
  return WindowText(Control(kIdRotation));
}

void TfrmMain::Arrange(const TArrangeChoices& choices) {
  QuietRefDesView view(*this);
  HistoryEntriesRefresh refresh{*this};
  undo_.Run(host_, ArrangeStepName(choices.pattern),
            [&](IDbxCalls& recorded) { RunArrange(recorded, choices, view, FDesignOpen); });
}

void TfrmMain::SwapPlaces1Click() {
  QuietRefDesView view(*this);
  HistoryEntriesRefresh refresh{*this};
  undo_.Run(host_, kSwapPlacesStep,
            [&](IDbxCalls& recorded) { RunSwapPlaces(recorded, view, FDesignOpen); });
}

std::string TfrmMain::StatusLine() const {
  return WindowText(Control(kIdStatusBar));
}

void TfrmMain::UpdateHistoryEntries() {
  const auto update = [this](int id, const char* entry, const std::string& step) {
    std::string text = entry;
    if (!step.empty()) text.insert(text.find('\t'), " " + step);
    const UINT state = step.empty() ? MF_GRAYED : MF_ENABLED;
    ModifyMenuA(popupMenu_, static_cast<UINT>(id), MF_BYCOMMAND | MF_STRING | state,
                static_cast<UINT_PTR>(id), text.c_str());
  };
  update(kIdUndo, kUndoEntry, undo_.UndoName());
  update(kIdRedo, kRedoEntry, undo_.RedoName());
}

bool TfrmMain::TranslateShortcut(MSG& message) {
  return ui::TranslateShortcut(Handle(), shortcuts_.get(), message);
}

void TfrmMain::About1Click() {
  ShowAboutBox(Handle());
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CTLCOLOREDIT:
      return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CONTEXTMENU: {
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (at.x == -1 && at.y == -1) {  // from the keyboard
        at = {0, 0};
        ClientToScreen(Handle(), &at);
      }
      TrackPopupMenu(popupMenu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
      return 0;
    }
    case WM_SETCURSOR:
      if (running_) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_WINDOWPOSCHANGED:
      if (!IsIconic(Handle()) && !IsZoomed(Handle())) {
        RECT frame{};
        GetWindowRect(Handle(), &frame);
        normalLeft_ = frame.left;
        normalTop_ = frame.top;
      }
      break;
    case WM_SIZE:
      // Minimising from the title bar leaves the window's own state as it was; restoring or
      // maximising sets it.
      if (wParam == SIZE_RESTORED) windowState_ = TWindowState::Normal;
      if (wParam == SIZE_MAXIMIZED) windowState_ = TWindowState::Maximized;
      break;
    case WM_DPICHANGED:
      ApplyDpi(DpiOfDpiChanged(wParam));
      MoveToSuggestedRect(Handle(), lParam);
      return 0;
    case WM_NEXTDLGCTL:
      // A group box's mnemonic passes the focus on into it.
      return MoveDialogFocus(Handle(), wParam, lParam);
    case WM_CLOSE:
      FormClose();
      DestroyWindow(Handle());
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

void TfrmMain::OnCommand(int id, int code, HWND) {
  switch (id) {
    case kIdAlign:
      if (code == BN_CLICKED) bAlignClick();
      break;
    case kIdToMils:
    case kIdToMm:
      if (code == BN_CLICKED) {
        logic_.ChangeUnits(static_cast<int>(GetWindowLongPtrA(Control(id), GWLP_USERDATA)));
      }
      break;
    case kIdOnTop:
      if (code == BN_CLICKED) logic_.cbOnTopClick();
      break;
    case kIdDoSpace:
      if (code == BN_CLICKED) logic_.cbDoSpaceClick();
      break;
    case kIdDoRotate:
      if (code == BN_CLICKED) logic_.cbDoRotateClick();
      break;
    case kIdSpacing:
      if (code == EN_CHANGE && settingText_ == 0) logic_.eSpacingChange();
      break;
    case kIdRotation:
      if ((code == CBN_EDITCHANGE || code == CBN_SELCHANGE) && settingText_ == 0) {
        logic_.cbRotationChange();
      }
      break;
    case kIdAbout:
      About1Click();
      break;
    case kIdUndo:
      Undo1Click();
      break;
    case kIdRedo:
      Redo1Click();
      break;
    case kIdPreview:
      Preview1Click();
      break;
    case kIdArrange:
      Arrange1Click();
      break;
    case kIdSwapPlaces:
      SwapPlaces1Click();
      break;
    default:
      break;
  }
}

LRESULT TfrmMain::OnControlColour(HDC dc, HWND control) {
  const HWND rotation = Control(kIdRotation);
  bool greyed = false;
  if (control == Control(kIdSpacing)) {
    greyed = spacingGreyed_;
  } else if (control == rotation || GetParent(control) == rotation) {
    greyed = rotationGreyed_;
  } else {
    return DefaultHandling(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(control));
  }
  SetTextColor(dc, greyed ? static_cast<COLORREF>(kGreyTextColour) : GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

bool TfrmMain::Checked(TControl control) const {
  return SendMessageA(HandleOf(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmMain::SetChecked(TControl control, bool checked) {
  SendMessageA(HandleOf(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string TfrmMain::Text(TControl control) const {
  return WindowText(HandleOf(control));
}

void TfrmMain::SetText(TControl control, const std::string& text) {
  CountGuard guard(settingText_);
  SetWindowTextA(HandleOf(control), text.c_str());
}

void TfrmMain::SetTextColour(TControl control, std::optional<std::uint32_t> colour) {
  const bool greyed = colour.has_value();
  if (control == TControl::eSpacing) spacingGreyed_ = greyed;
  if (control == TControl::cbRotation) rotationGreyed_ = greyed;
  InvalidateRect(HandleOf(control), nullptr, TRUE);
  if (control == TControl::cbRotation) {
    // The combo box paints its text in its own edit child.
    const HWND edit = FindWindowExA(HandleOf(control), nullptr, "EDIT", nullptr);
    if (edit != nullptr) InvalidateRect(edit, nullptr, TRUE);
  }
}

void TfrmMain::SetTopMost(bool topMost) {
  SetWindowPos(Handle(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void TfrmMain::SetLeft(int left) {
  normalLeft_ = left;
  SetWindowPos(Handle(), nullptr, normalLeft_, normalTop_, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::SetTop(int top) {
  normalTop_ = top;
  SetWindowPos(Handle(), nullptr, normalLeft_, normalTop_, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::SetStatusText(const std::string& text) {
  SetStatusBarText(Control(kIdStatusBar), text);
}

void TfrmMain::SetUnitsLabel(const std::string& text) {
  SetWindowTextA(Control(kIdUnits), text.c_str());
}

void TfrmMain::BeginWaitCursor() {
  running_ = true;
  savedCursor_ = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void TfrmMain::EndWaitCursor() {
  running_ = false;
  SetCursor(savedCursor_);
}

std::string TfrmMain::RotationText() {
  return WindowText(Control(kIdRotation));
}

void TfrmMain::ShowRefDesError(const std::string& message) {
  MessageBoxA(Handle(), message.c_str(), "Error", MB_OK | MB_ICONERROR);
}

}  // namespace kordane::ui
