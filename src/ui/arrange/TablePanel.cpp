#include "ui/arrange/TablePanel.h"

#include <commdlg.h>

#include <memory>
#include <type_traits>

#include "host/WideText.h"

namespace kordane::ui {

namespace {

constexpr const char* kUnits[] = {"mm", "mils", "inches"};

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueFile = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// The system's words for an error, without the line break and full stop it ends with.
std::string SystemReason(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
  LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == '.' || reason.back() == ' '))
    reason.pop_back();
  return reason;
}

UniqueFile OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  const HANDLE file = CreateFileW(ToWide(path, CP_ACP).c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueFile(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

}  // namespace

void FillTableLists(const IArrangeControls& controls) {
  FillList(controls.Control(kIdTableUnits), kUnits);
}

void ShowTableChoices(const IArrangeControls& controls, const TArrangeChoices& choices) {
  SetText(controls.Control(kIdTableFile), choices.tableFileText);
  SendMessageA(controls.Control(kIdTableUnits), CB_SETCURSEL,
               static_cast<WPARAM>(choices.tableUnits), 0);
  SetText(controls.Control(kIdTableOriginX), choices.tableOriginXText);
  SetText(controls.Control(kIdTableOriginY), choices.tableOriginYText);
}

void ReadTableChoices(const IArrangeControls& controls, TArrangeChoices& choices) {
  choices.tableFileText = WindowText(controls.Control(kIdTableFile));
  choices.tableUnits = static_cast<TTableUnit>(Selected(controls.Control(kIdTableUnits)));
  choices.tableOriginXText = WindowText(controls.Control(kIdTableOriginX));
  choices.tableOriginYText = WindowText(controls.Control(kIdTableOriginY));
}

void UpdateTableControls(const IArrangeControls& controls, const TArrangeChoices& choices) {
  const bool named = choices.tableFileText.find_first_not_of(' ') != std::string::npos;
  EnableWindow(controls.Control(kIdTableExport), named);
}

TTableFile ReadTableFile(const std::string& path) {
  TTableFile read;
  read.path = path;
  if (path.find_first_not_of(' ') == std::string::npos) return read;
  const UniqueFile file =
      OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) {
    read.failure = "Cannot read " + path + ": " + SystemReason(GetLastError());
    return read;
  }
  read.failure = TableSizeProblem(static_cast<std::uint64_t>(size.QuadPart));
  if (!read.failure.empty()) return read;
  std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), text.data() + done, static_cast<DWORD>(text.size() - done), &got,
                  nullptr)) {
      read.failure = "Cannot read " + path + ": " + SystemReason(GetLastError());
      return read;
    }
    if (got == 0) break;  // the file got shorter since its size was asked
    done += got;
  }
  text.resize(done);
  read.table = ReadPlacementTable(std::move(text));
  return read;
}

bool SameTableContent(const TTableFile& a, const TTableFile& b) {
  if (a.failure != b.failure || !a.table != !b.table) return false;
  return !a.table || *a.table->text == *b.table->text;
}

void BrowseForTable(HWND owner, HWND fileField) {
  char path[MAX_PATH] = {};
  const std::string typed = WindowText(fileField);
  if (typed.size() < MAX_PATH) typed.copy(path, typed.size());
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = "Tables (*.csv;*.txt;*.pos)\0*.csv;*.txt;*.pos\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = "Placement table";
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (GetOpenFileNameA(&dialog)) SetWindowTextA(fileField, path);
}

bool WriteTableFile(HWND owner, const std::string& path, const std::string& text) {
  if (GetFileAttributesW(ToWide(path, CP_ACP).c_str()) != INVALID_FILE_ATTRIBUTES) {
    const std::string question = "Replace " + path + "?";
    if (MessageBoxA(owner, question.c_str(), kApplicationTitle,
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
      return false;
    }
  }
  const UniqueFile file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  DWORD written = 0;
  const bool done =
      file &&
      WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
      written == text.size();
  if (!done) ShowErrorReport(owner, "Cannot write " + path + ": " + SystemReason(GetLastError()));
  return done;
}

}  // namespace kordane::ui
