#include "ui/ArrangeWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <exception>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "host/Conversions.h"
#include "host/DbxUtils.h"
#include "placement/HostAdapters.h"
#include "settings/ArrangeSettings.h"
#include "settings/ArrangeSetups.h"
#include "settings/win32/IniFileProfile.h"
#include "ui/ArtResources.h"
#include "ui/Dpi.h"
#include "ui/FramePlace.h"
#include "ui/PlotPainter.h"

namespace kordane::ui {

namespace {

// Every length here is in pixels at 96 DPI; the window scales them to its own (Px).
constexpr int kDefaultClientWidth = 780;
constexpr int kDefaultClientHeight = 562;
constexpr int kMinimumClientWidth = 600;
constexpr int kMinimumClientHeight = 552;
constexpr int kGap = 8;
constexpr int kPictureLeft = 256;  // right of the choices
constexpr int kButtonWidth = 75;
constexpr int kWideButtonWidth = 95;
constexpr int kButtonHeight = 25;
constexpr int kSummaryHeight = 16;
constexpr int kMessagesHeight = 56;

// Without WS_CLIPCHILDREN: the group boxes leave their inside to the window's background.
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;

using namespace arrange_style;

// The patterns' panels, in the order of TArrangePattern.
constexpr const TArrangePanel* kPanels[] = {&kRowsPanel,  &kGridPanel,   &kDistributePanel,
                                            &kAlignPanel, &kCirclePanel, &kReplicatePanel,
                                            &kSnapPanel,  &kTablePanel,  &kTransformPanel};

// The choices on the left, in tab order: each field right after its label, so that the label's
// mnemonic reaches it. The controls on the right are placed by Layout.
constexpr ControlSpec kSetupControls[] = {
    // Without mnemonics: every letter of their captions is taken by the controls of one pattern
    // or another.
    {kIdSetupLabel, 0, "STATIC", "Setup", kVisible | kLabel, 0, 8, 8, 42, 13},
    {kIdSetup, 0, "COMBOBOX", "", kVisible | kEditableList, 0, 52, 4, 98, 21},
    {kIdSetupSave, 0, "BUTTON", "Save", kButton, 0, 154, 3, 44, 23},
    {kIdSetupDelete, 0, "BUTTON", "Delete", kButton, 0, 202, 3, 46, 23},
    {kIdPatternBox, 0, "BUTTON", " Pattern ", kVisible | BS_GROUPBOX, 0, 8, 34, 240, 108},
};
constexpr ControlSpec kSharedChoices[] = {
    {kIdOrderLabel, 0, "STATIC", "&Order", kVisible | kLabel, 0, 8, 153, 60, 13},
    {kIdOrder, 0, "COMBOBOX", "", kVisible | kList, 0, 72, 149, 176, 21},
    {kIdTurn, 0, "BUTTON", "T&urn to", kVisible | kCheck, 0, 8, 177, 62, 17},
    {kIdTurnText, 0, "EDIT", "", kVisible | kEdit, WS_EX_CLIENTEDGE, 72, 175, 64, 21},
    {kIdTurnDegrees, 0, "STATIC", kDegrees, kVisible | kNote, 0, 140, 179, 60, 13},
    {kIdPanelBox, 0, "BUTTON", "", kVisible | BS_GROUPBOX, 0, 8, kPanelTop - 2, 240, 322},
};
constexpr ControlSpec kRightControls[] = {
    {kIdArrangeMessages, 0, "LISTBOX", "",
     WS_VSCROLL | WS_TABSTOP | WS_GROUP | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, WS_EX_CLIENTEDGE, 0, 0,
     0, 0},
    {kIdArrangeSummary, 0, "STATIC", "", kVisible | kNote | SS_ENDELLIPSIS, 0, 0, 0, 0, 0},
    {kIdReadSelection, 0, "BUTTON", "Read &selection", kButton, 0, 0, 0, 0, 0},
    {kIdApply, 0, "BUTTON", "&Apply", kButton, 0, 0, 0, 0, 0},
    {kIdArrangeClose, 0, "BUTTON", "Close", kButton, 0, 0, 0, 0, 0},
    {kIdArrangeStatus, 0, STATUSCLASSNAMEA, "", kVisible | SBARS_SIZEGRIP, 0, 0, 0, 0, 0},
};

// One table of every control: the setups, the pattern buttons, the shared choices, every panel's
// own controls and those on the right.
template <std::size_t Count>
constexpr auto JoinControls() {
  std::array<ControlSpec, Count> all{};
  std::size_t next = 0;
  const auto append = [&](std::span<const ControlSpec> part) {
    for (const ControlSpec& spec : part) all[next++] = spec;
  };
  append(kSetupControls);
  for (const TArrangePanel* panel : kPanels) append(panel->radio);
  append(kSharedChoices);
  for (const TArrangePanel* panel : kPanels) append(panel->controls);
  append(kRightControls);
  return all;
}

constexpr std::size_t CountControls() {
  std::size_t count =
      std::size(kSetupControls) + std::size(kSharedChoices) + std::size(kRightControls);
  for (const TArrangePanel* panel : kPanels) count += panel->radio.size() + panel->controls.size();
  return count;
}

constexpr auto kArrangeControls = JoinControls<CountControls()>();

constexpr bool PanelsInPatternOrder() {
  for (std::size_t i = 0; i < std::size(kPanels); ++i) {
    if (i > 0 && kPanels[i - 1]->pattern >= kPanels[i]->pattern) return false;
    if (kPanels[i]->radio.size() != 1) return false;
  }
  return std::size(kPanels) == std::size(kArrangePatterns);
}
static_assert(PanelsInPatternOrder(), "one panel per pattern, in order, each with one button");

constexpr bool IdsUnique() {
  for (std::size_t i = 0; i < kArrangeControls.size(); ++i) {
    for (std::size_t j = i + 1; j < kArrangeControls.size(); ++j) {
      if (kArrangeControls[i].id == kArrangeControls[j].id) return false;
    }
  }
  return true;
}
static_assert(IdsUnique(), "two of the Arrange window's controls share an id");

// The controls shown together with a pattern's panel: the setups, every pattern button, the
// shared choices and buttons, and the panel's own.
constexpr bool MnemonicsUniqueWith(const TArrangePanel& shown) {
  bool taken[256] = {};
  const auto take = [&taken](std::span<const ControlSpec> part) {
    for (const ControlSpec& spec : part) {
      const char letter = MnemonicOf(spec.text);
      if (letter == 0) continue;
      if (taken[static_cast<unsigned char>(letter)]) return false;
      taken[static_cast<unsigned char>(letter)] = true;
    }
    return true;
  };
  bool unique =
      take(kSetupControls) && take(kSharedChoices) && take(kRightControls) && take(shown.controls);
  for (const TArrangePanel* panel : kPanels) unique = unique && take(panel->radio);
  return unique;
}

constexpr bool MnemonicsUnique() {
  for (const TArrangePanel* panel : kPanels) {
    if (!MnemonicsUniqueWith(*panel)) return false;
  }
  return true;
}
static_assert(MnemonicsUnique(), "two controls shown together share a mnemonic");

constexpr const char* kOrders[] = {"Increasing", "Decreasing", "By position"};

const TArrangePanel& PanelOf(TArrangePattern pattern) {
  const auto found = std::ranges::find(kPanels, pattern, &TArrangePanel::pattern);
  return found != std::end(kPanels) ? **found : *kPanels[0];
}

bool IsLength(int id) {
  for (const TArrangePanel* panel : kPanels) {
    if (std::ranges::find(panel->lengths, id) != panel->lengths.end()) return true;
  }
  return false;
}

bool IsPushButton(int id) {
  for (const ControlSpec& spec : kArrangeControls) {
    if (spec.id == id) {
      return std::string_view(spec.className) == "BUTTON" &&
             (spec.style & BS_TYPEMASK) == BS_PUSHBUTTON;
    }
  }
  return false;
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
  // In the tab order after the choices, before what is below it.
  pictureView_ = std::make_unique<TRunPicture>(Handle(), kIdArrangePicture, font_.Get(), dpi_);
  SetWindowPos(pictureView_->Handle(), GetWindow(Control(kIdArrangeMessages), GW_HWNDPREV), 0, 0, 0,
               0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  FillList(Control(kIdOrder), kOrders);
  for (const TArrangePanel* panel : kPanels) {
    if (panel->fill != nullptr) panel->fill(*this);
  }

  ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'Z', kIdArrangeUndo},
                  {FCONTROL | FVIRTKEY, 'Y', kIdArrangeRedo},
                  {FCONTROL | FSHIFT | FVIRTKEY, 'Z', kIdArrangeRedo},
                  {FCONTROL | FSHIFT | FVIRTKEY, 'S', kIdArrangeSwap},
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
  lengthUnits_ = choices.lengthUnits;
  for (const TArrangePanel* panel : kPanels) {
    Check(Control(panel->radio.front().id), panel->pattern == choices.pattern);
    if (panel->show != nullptr) panel->show(*this, choices);
  }
  SendMessageA(Control(kIdOrder), CB_SETCURSEL, static_cast<WPARAM>(choices.order), 0);
  Check(Control(kIdTurn), choices.turn);
  SetText(Control(kIdTurnText), choices.turnText);
}

TArrangeChoices TArrangeWindow::ChoicesShown() const {
  TArrangeChoices choices;
  for (const TArrangePanel* panel : kPanels) {
    if (IsChecked(Control(panel->radio.front().id))) choices.pattern = panel->pattern;
    if (panel->read != nullptr) panel->read(*this, choices);
  }
  choices.order = static_cast<TArrangeOrder>(Selected(Control(kIdOrder)));
  choices.turn = IsChecked(Control(kIdTurn));
  choices.turnText = WindowText(Control(kIdTurnText));
  choices.lengthUnits = lengthUnits_;
  choices.tableFile = tableFile_;
  return choices;
}

void TArrangeWindow::ShowInDesignUnits() {
  const std::int32_t units = selection_ ? selection_->DesignUnits() : kUnitsUnknown;
  if (units == lengthUnits_ || (units != kUnitsMils && units != kUnitsMm)) return;
  TArrangeChoices shown = ChoicesShown();
  ConvertLengths(shown, units);
  ShowChoices(shown);
}

void TArrangeWindow::ShowPatternControls() {
  const TArrangePanel& shown = PanelOf(choices_.pattern);
  // The design's own units, whatever the main window's unit buttons did.
  const std::string units = UnitsName(selection_ ? selection_->DesignUnits() : kUnitsUnknown);
  for (const TArrangePanel* panel : kPanels) {
    for (const ControlSpec& spec : panel->controls) {
      ShowWindow(Control(spec.id), panel == &shown ? SW_SHOWNA : SW_HIDE);
    }
    for (const int id : panel->lengthUnits) SetText(Control(id), units);
  }
  SetWindowTextA(Control(kIdPanelBox), shown.title);
  if (shown.update != nullptr) shown.update(*this, choices_);
  for (const int id : {kIdOrderLabel, kIdOrder}) EnableWindow(Control(id), shown.usesOrder);
  const bool turns = UsesTurnTo(choices_);
  for (const int id : {kIdTurn, kIdTurnDegrees}) EnableWindow(Control(id), turns);
  EnableWindow(Control(kIdTurnText), turns && choices_.turn);
}

void TArrangeWindow::Refresh() {
  noticeShown_ = false;
  choices_ = ChoicesShown();
  if (choices_.pattern == TArrangePattern::Table && choices_.tableFileText != tableFile_.path) {
    ReadTable();
    choices_.tableFile = tableFile_;
  }
  ShowPatternControls();
  bool applicable = false;
  if (!readFailure_.empty()) {
    // The host could not be read: nothing to apply until F5 or "Read selection" reads it.
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
  // What keeps Apply from working comes first; a name that cannot be saved under, after it.
  std::string summary = !picture_.failure.empty() ? picture_.failure : picture_.summary;
  if (!setupProblem_.empty()) summary += (summary.empty() ? "" : "; ") + setupProblem_;
  SetWindowTextA(Control(kIdArrangeSummary), summary.c_str());
  // A button that goes grey under the focus would leave the keyboard nowhere.
  if (!applicable && GetFocus() == Control(kIdApply)) SetFocus(Control(kIdReadSelection));
  EnableWindow(Control(kIdApply), applicable);

  const HWND messages = Control(kIdArrangeMessages);
  SendMessageA(messages, LB_RESETCONTENT, 0, 0);
  for (const std::string& message : picture_.messages) {
    SendMessageA(messages, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(message.c_str()));
  }
  ShowWindow(messages, picture_.messages.empty() ? SW_HIDE : SW_SHOWNA);
  pictureView_->Show(picture_, std::exchange(newReading_, false));
  Layout();
}

void TArrangeWindow::ReadAgain() {
  if (ChoicesShown().pattern == TArrangePattern::Table) ReadTable();
  Adopt(arranger_.ReadSelection());
}

void TArrangeWindow::ReadTable() {
  tableFile_ = ReadTableFile(WindowText(Control(kIdTableFile)));
}

bool TArrangeWindow::TableChanged() {
  TTableFile read = ReadTableFile(choices_.tableFileText);
  if (SameTableContent(read, tableFile_)) return false;
  tableFile_ = std::move(read);
  Refresh();
  noticeShown_ = true;
  const std::string notice =
      "The table's file changed since the picture was drawn: " +
      (picture_.failure.empty() ? "check the picture and press Apply again" : picture_.failure);
  SetWindowTextA(Control(kIdArrangeSummary), notice.c_str());
  return true;
}

void TArrangeWindow::ExportTable() {
  const TArrangeChoices choices = ChoicesShown();
  if (!readFailure_.empty()) {
    ShowErrorReport(Handle(), readFailure_);
    return;
  }
  const std::string text =
      TableOfSelection(selection_->Selection(), choices, selection_->DesignUnits());
  if (!WriteTableFile(Handle(), choices.tableFileText, text)) return;
  SetStatus(Counted(selection_->Selection().size(), "part", "parts") + " written to " +
            choices.tableFileText);
  ReadTable();
  Refresh();
}

void TArrangeWindow::Adopt(TSelectionRead read) {
  readFailure_ = std::move(read.failure);
  // A failed read keeps the last good one (its units, its anchors); Apply waits for a good one.
  if (readFailure_.empty() || !selection_) {
    newReading_ = true;
    selection_ = std::make_unique<TSelectionHost>(std::move(read.components), read.units);
    if (defaultLengths_) {
      TArrangeChoices shown = ChoicesShown();
      SetDefaultLengths(shown, read.units);
      ShowChoices(shown);
    }
    ShowInDesignUnits();
    ShowAnchorCandidates();
  }
  Refresh();
}

void TArrangeWindow::ShowAnchorCandidates() {
  CountGuard guard(showingChoices_);
  const bool fine = readFailure_.empty();
  RefillList(Control(kIdAnchor),
             fine ? AnchorCandidates(selection_->Selection(), ChoicesShown().channelScheme)
                  : std::vector<std::string>{});
  RefillList(Control(kIdPivotPart),
             fine ? AnchorCandidates(selection_->Selection()) : std::vector<std::string>{});
}

void TArrangeWindow::FindChannelsShown() {
  if (!readFailure_.empty()) return;  // the summary names what keeps the selection from a read
  std::string found;
  {
    CountGuard guard(showingChoices_);
    found = ShowFoundChannels(*this, selection_->Selection());
  }
  ShowAnchorCandidates();
  Refresh();
  SetWindowTextA(Control(kIdArrangeSummary), found.c_str());
}

void TArrangeWindow::Apply() {
  choices_ = ChoicesShown();
  // Apply does what the picture shows or nothing: a selection that changed since it was drawn
  // (other parts, or a part moved or turned) is drawn anew for the user to check first.
  TSelectionRead read = arranger_.ReadSelection();
  if (!read.failure.empty() || read.units != selection_->DesignUnits() ||
      !SameParts(read.components, selection_->Selection())) {
    const bool failed = !read.failure.empty();
    Adopt(std::move(read));
    if (!failed) {
      noticeShown_ = true;
      const std::string notice =
          "The selection changed since the picture was drawn: " +
          (picture_.failure.empty() ? "check the picture and press Apply again" : picture_.failure);
      SetWindowTextA(Control(kIdArrangeSummary), notice.c_str());
    }
    return;
  }
  // The same for the table's content.
  if (choices_.pattern == TArrangePattern::Table && TableChanged()) return;
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

void TArrangeWindow::SwapPlaces() {
  arranger_.SwapPlaces();
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
  WidenDropDownFor(Control(kIdSetup), names);
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
    const bool deleted = DeleteSetup(file, typed);
    SetStatus(
        FormatUserMessage(deleted ? "Setup \"%s\" deleted" : "There is no setup \"%s\" to delete",
                          TrimmedSetupName(typed)));
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
    ShowInDesignUnits();
    defaultLengths_ = false;  // the setup's lengths, as saved
  }
  ShowSetupButtons();
  Refresh();
}

void TArrangeWindow::SetStatus(const std::string& text) {
  SetStatusBarText(Control(kIdArrangeStatus), text);
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
  if (pictureView_) {
    MoveWindow(pictureView_->Handle(), picture.left, picture.top, width,
               picture.bottom - picture.top, TRUE);
  }
}

void TArrangeWindow::Open() {
  ReadAgain();
  ShowWindow(Handle(), SW_SHOWNORMAL);
  SetFocus(Control(PanelOf(choices_.pattern).radio.front().id));
}

void TArrangeWindow::BringToFront() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetForegroundWindow(Handle());
  SetActiveWindow(Handle());
}

bool TArrangeWindow::Holds(HWND window) const {
  return Handle() != nullptr && (window == Handle() || IsChild(Handle(), window));
}

bool TArrangeWindow::TranslateWindowMessage(MSG& message) {
  return TranslateShortcut(Handle(), shortcuts_.get(), message) ||
         IsDialogMessageA(Handle(), &message);
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
    case kIdArrangeSwap:
      SwapPlaces();
      return;
    case kIdArrangeClose:
      PostMessageA(Handle(), WM_CLOSE, 0, 0);
      return;
    case kIdTableBrowse:
      if (code == BN_CLICKED) BrowseForTable(Handle(), Control(kIdTableFile));
      return;
    case kIdTableExport:
      if (code == BN_CLICKED && IsWindowEnabled(Control(kIdTableExport))) ExportTable();
      return;
    case kIdSetupSave:
      if (code == BN_CLICKED && IsWindowEnabled(Control(kIdSetupSave))) SaveSetupTyped();
      return;
    case kIdFindChannels:
      if (code == BN_CLICKED) FindChannelsShown();
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
  if ((id == kIdChannelNumbers || id == kIdChannelTags) && code == BN_CLICKED) {
    ShowAnchorCandidates();
  }
  if ((id == kIdAnchor || id == kIdPivotPart) && code == CBN_SELCHANGE) {
    // The field shows the entry chosen only after this notice.
    const std::optional<std::string> chosen = ChosenEntry(Control(id));
    if (!chosen) return;
    CountGuard guard(showingChoices_);
    SetWindowTextA(Control(id), chosen->c_str());
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
      try {
        IniFileProfile profile(settingsPath_, arrange_keys::kSection);
        SaveArrangeChoices(profile, ChoicesShown());
      } catch (const SettingsWriteError&) {
        // The window still closes; its choices come back as they were stored before.
      }
      SaveFramePlace(Handle(), settingsPath_, arrange_keys::kSection);
      DestroyWindow(Handle());
      return 0;
    case DM_GETDEFID: {
      // Enter presses the focused button; with the focus elsewhere it does nothing.
      const HWND focus = GetFocus();
      const int focused = GetDlgCtrlID(focus);
      return IsPushButton(focused) ? MAKELRESULT(focused, DC_HASDEFID) : 0;
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
      pictureView_->SetFont(font.Get(), dpi_);
      font_ = std::move(font);
      MoveToSuggestedRect(Handle(), lParam);
      Layout();
      return 0;
    }
    case WM_ERASEBKGND:
      EraseAroundPicture(Handle(), reinterpret_cast<HDC>(wParam), PictureRect());
      return TRUE;
    case WM_MOUSEWHEEL:
      if (pictureView_ && pictureView_->TakeWheel(wParam, lParam)) return 0;
      return DefaultHandling(message, wParam, lParam);
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      // A parameter that is not valid is named in red.
      const bool named = reinterpret_cast<HWND>(lParam) == Control(kIdArrangeSummary) &&
                         (!picture_.failure.empty() || !setupProblem_.empty() || noticeShown_);
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

}  // namespace kordane::ui
