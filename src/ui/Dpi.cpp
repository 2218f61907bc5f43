#include "ui/Dpi.h"

#include <cstring>

#include "ui/ArtResources.h"

namespace kordane::ui {

namespace {

// A function of a system DLL that older Windows lack, or nullptr there. The DLL is one the
// program has loaded already.
template <typename Function>
Function SystemFunction(const char* module, const char* name) {
  const HMODULE handle = GetModuleHandleA(module);
  const FARPROC proc = handle != nullptr ? GetProcAddress(handle, name) : nullptr;
  Function function = nullptr;
  static_assert(sizeof function == sizeof proc);
  std::memcpy(&function, &proc, sizeof function);
  return function;
}

// A memory device context, deleted with its owner.
class MemoryDc {
 public:
  MemoryDc() : dc_(CreateCompatibleDC(nullptr)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace

int WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  if (const auto getDpi =
          SystemFunction<GetDpiForWindowFunction>("user32.dll", "GetDpiForWindow")) {
    if (const UINT dpi = getDpi(window); dpi > 0) return static_cast<int>(dpi);
  }
  const HDC dc = GetDC(window);
  const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
  if (dc != nullptr) ReleaseDC(window, dc);
  return dpi > 0 ? dpi : kDefaultDpi;
}

void SetScaledClientSize(HWND window, int clientWidth, int clientHeight, int dpi) {
  if (dpi == kDefaultDpi) return;
  RECT frame{};
  RECT client{};
  GetWindowRect(window, &frame);
  GetClientRect(window, &client);
  const int borderWidth = (frame.right - frame.left) - client.right;
  const int borderHeight = (frame.bottom - frame.top) - client.bottom;
  SetWindowPos(window, nullptr, 0, 0, Scale(clientWidth, dpi) + borderWidth,
               Scale(clientHeight, dpi) + borderHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveToSuggestedRect(HWND window, LPARAM suggested) {
  const auto* rect = reinterpret_cast<const RECT*>(suggested);
  SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left,
               rect->bottom - rect->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

UniqueIcon LoadProgramIcon(int dpi) {
  const int size = Scale(32, dpi);
  return UniqueIcon(static_cast<HICON>(LoadImageA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_KORDANE), IMAGE_ICON, size, size, 0)));
}

UniqueCursor LoadScaledCursor(const char* name, int dpi) {
  const int size = Scale(32, dpi);
  return UniqueCursor(static_cast<HCURSOR>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_CURSOR, size, size, 0)));
}

GdiObject<HBITMAP> LoadScaledBitmap(int id, int dpi) {
  GdiObject<HBITMAP> original(static_cast<HBITMAP>(LoadImageA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  BITMAP size{};
  if (dpi == kDefaultDpi || original.Get() == nullptr ||
      GetObjectA(original.Get(), sizeof size, &size) == 0) {
    return original;
  }
  // Smoothed rather than repeated pixels, so that the picture keeps its shapes at 125 % or 150 %.
  const int width = Scale(size.bmWidth, dpi);
  const int height = Scale(size.bmHeight, dpi);
  const HDC screen = GetDC(nullptr);
  GdiObject<HBITMAP> scaled(CreateCompatibleBitmap(screen, width, height));
  ReleaseDC(nullptr, screen);
  if (scaled.Get() == nullptr) return original;
  MemoryDc from;
  MemoryDc to;
  {
    SelectObjectGuard source(from.Get(), original.Get());
    SelectObjectGuard target(to.Get(), scaled.Get());
    SetStretchBltMode(to.Get(), HALFTONE);
    SetBrushOrgEx(to.Get(), 0, 0, nullptr);
    StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, size.bmWidth, size.bmHeight,
               SRCCOPY);
  }
  return scaled;
}

}  // namespace kordane::ui
