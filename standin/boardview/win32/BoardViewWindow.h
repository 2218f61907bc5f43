// The board view's window: draws the scene of the board file through the view transform, turns
// the mouse and keys into the portable selection rules, writes the selection at once and follows
// the file. All decisions are in the portable classes; this is the Win32 skin.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "BoardDocument.h"
#include "Selection.h"
#include "ViewTransform.h"
#include "ui/DpiScale.h"
#include "ui/Win32Util.h"

namespace standin::boardview {

class BoardViewWindow {
 public:
  explicit BoardViewWindow(std::filesystem::path board);
  ~BoardViewWindow();
  BoardViewWindow(const BoardViewWindow&) = delete;
  BoardViewWindow& operator=(const BoardViewWindow&) = delete;

  // Creates the window at the given frame (CW_USEDEFAULT for any) and reads the board.
  bool Create(int left, int top, int width, int height);
  HWND Handle() const { return handle_; }

 private:
  // The window procedure: a thunk to HandleMessage that stores `this` on WM_NCCREATE and lets
  // no exception reach Windows. It follows WindowBase in src/ui/Win32Util.h, whose error report
  // speaks for Kordane; the board view reports in its status bar instead.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void MakeFont();
  // A length in pixels at 96 DPI, at the window's DPI.
  double Px(double value) const;
  int Px(int value) const;
  void OnCreate();
  void OnSize();
  void OnPaint();
  void Draw(HDC dc, int width, int height) const;
  void OnMouseMove(Point client, WPARAM keys);
  void OnLeftUp(Point client);
  void OnWheel(Point screen, int delta);
  void OnChar(WPARAM code);

  // Reads the file when it changed; the first board read is fitted into the view.
  void Reload();
  void Fit();
  // Applies a selection rule and writes its result. The rule is asked again after a reload when
  // the file turned out newer than the view's last read, so it never decides on an old board.
  void ChangeSelection(const std::function<Selection(const Selection&)>& rule);
  void UpdateStatus();
  void Redraw() const;

  RECT ViewArea() const;
  Point ClientPoint(LPARAM lParam) const;
  std::optional<std::size_t> ItemAt(Point board) const;
  LRESULT BoardToClient(WPARAM x, LPARAM y) const;

  HWND handle_ = nullptr;
  HWND status_ = nullptr;
  int dpi_ = kordane::kDefaultDpi;
  kordane::ui::GdiObject<HFONT> font_;
  BoardDocument document_;
  ViewTransform view_;
  bool fitted_ = false;     // a board has been fitted into the view once
  bool userMoved_ = false;  // zoomed or panned since the last fit: resizing no longer refits
  PointerGesture gesture_;
  bool panning_ = false;
  Point panLast_;
  std::optional<Point> pointer_;  // the board point under the pointer while it is in the view
  bool trackingLeave_ = false;
  std::optional<std::string> note_;
  std::string statusText_;  // as last shown
};

}  // namespace standin::boardview
