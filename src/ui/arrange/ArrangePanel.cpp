#include "ui/arrange/ArrangePanel.h"

#include <commctrl.h>

#include <algorithm>

namespace kordane::ui {

bool IsChecked(HWND button) {
  return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Check(HWND button, bool checked) {
  SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Selected(HWND list) {
  return std::max(0, static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)));
}

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

void SetText(HWND control, const std::string& text) {
  SetWindowTextA(control, text.c_str());
}

void FillList(HWND list, std::span<const char* const> entries) {
  for (const char* entry : entries) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
  SendMessageA(list, CB_SETMINVISIBLE, entries.size(), 0);
}

void RefillList(HWND list, const std::vector<std::string>& entries) {
  const std::string typed = WindowText(list);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  SendMessageA(list, CB_SETMINVISIBLE, 12, 0);
  SetWindowTextA(list, typed.c_str());
}

void WidenDropDownFor(HWND list, const std::vector<std::string>& entries) {
  RECT field{};
  GetWindowRect(list, &field);
  LONG width = field.right - field.left;
  const HDC dc = GetDC(list);
  if (dc == nullptr) return;
  {
    const SelectObjectGuard font(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    for (const std::string& entry : entries) {
      SIZE size{};
      GetTextExtentPoint32A(dc, entry.c_str(), static_cast<int>(entry.size()), &size);
      width = std::max<LONG>(width, size.cx + 2 * GetSystemMetrics(SM_CXVSCROLL));
    }
  }
  ReleaseDC(list, dc);
  SendMessageA(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

}  // namespace kordane::ui
