#include "BoardViewWindow.h"

#include <windowsx.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "BoardViewMessages.h"
#include "StatusLine.h"
#include "ui/Dpi.h"

namespace standin::boardview {

namespace {

using kordane::ui::GdiObject;
using kordane::ui::SelectObjectGuard;

// Lengths on the screen are in pixels at 96 DPI; the window scales them to its own (Px).
constexpr UINT_PTR kReloadTimer = 1;
constexpr UINT kReloadMilliseconds = 250;  // the file is compared by content this often
constexpr std::chrono::milliseconds kReadPatience{200};
constexpr const char* kBusyNote = "the board file is busy: showing the board as last read";
constexpr double kFitMargin = 24;    // pixels around the fitted board
constexpr double kGridPixels = 16;   // the finest grid drawn
constexpr double kHitPixels = 3;     // a click this near a body still finds it
constexpr double kMarkerPixels = 5;  // radius of an item's marker
constexpr double kWheelStep = 1.2;   // zoom factor of one wheel notch

// Colours of the picture: a dark board, light bodies, selected ones in amber.
constexpr COLORREF kBackground = RGB(18, 24, 32);
constexpr COLORREF kGridMinor = RGB(34, 44, 56);
constexpr COLORREF kGridMajor = RGB(52, 66, 82);
constexpr COLORREF kAxes = RGB(80, 96, 116);
constexpr COLORREF kBodyFill = RGB(46, 62, 76);
constexpr COLORREF kBodyLine = RGB(130, 150, 166);
constexpr COLORREF kLabel = RGB(196, 206, 216);
constexpr COLORREF kSelectedFill = RGB(112, 82, 18);
constexpr COLORREF kSelectedLine = RGB(255, 196, 40);
constexpr COLORREF kSelectedLabel = RGB(255, 222, 120);
constexpr COLORREF kMarker = RGB(90, 180, 200);
constexpr COLORREF kHover = RGB(255, 255, 255);
constexpr COLORREF kRubber = RGB(230, 230, 230);

// A memory device context, deleted with its owner.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// A client point as a GDI pixel; far-off points are held where GDI's arithmetic is safe.
POINT Pixel(Point client) {
  constexpr double kFar = 1e7;
  return {static_cast<LONG>(std::lround(std::clamp(client.x, -kFar, kFar))),
          static_cast<LONG>(std::lround(std::clamp(client.y, -kFar, kFar)))};
}

GdiObject<HPEN> Pen(COLORREF colour, int width = 1, int style = PS_SOLID) {
  return GdiObject<HPEN>(CreatePen(style, width, colour));
}

GdiObject<HBRUSH> Brush(COLORREF colour) {
  return GdiObject<HBRUSH>(CreateSolidBrush(colour));
}

}  // namespace

BoardViewWindow::BoardViewWindow(std::filesystem::path board) : document_(std::move(board)) {}

BoardViewWindow::~BoardViewWindow() {
  if (handle_ != nullptr) DestroyWindow(handle_);
}

bool BoardViewWindow::Create(int left, int top, int width, int height) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExA(GetModuleHandleA(nullptr), kWindowClass, &windowClass)) {
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &BoardViewWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExA(&windowClass) == 0) return false;
  }
  const std::string title = document_.Path().filename().string() + " - Board view";
  return CreateWindowExA(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         left, top, width, height, nullptr, nullptr, GetModuleHandleA(nullptr),
                         this) != nullptr;
}

LRESULT CALLBACK BoardViewWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<BoardViewWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<BoardViewWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    self->note_ = error.what();
    self->UpdateStatus();
    result = DefWindowProcA(window, message, wParam, lParam);
  } catch (...) {
    self->note_ = "unknown error";
    self->UpdateStatus();
    result = DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
    self->status_ = nullptr;
  }
  return result;
}

LRESULT BoardViewWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_SIZE:
      OnSize();
      return 0;
    case WM_DPICHANGED:
      dpi_ = kordane::ui::DpiOfDpiChanged(wParam);
      MakeFont();
      kordane::ui::MoveToSuggestedRect(handle_, lParam);
      OnSize();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint fills every pixel of the view
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_TIMER:
      if (wParam == kReloadTimer) Reload();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(ClientPoint(lParam), wParam);
      return 0;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      pointer_.reset();
      UpdateStatus();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(handle_);
      SetCapture(handle_);
      gesture_.Press(ClientPoint(lParam), view_.ToBoard(ClientPoint(lParam)),
                     (wParam & MK_CONTROL) != 0);
      return 0;
    case WM_LBUTTONUP:
      OnLeftUp(ClientPoint(lParam));
      return 0;
    case WM_MBUTTONDOWN:
      SetFocus(handle_);
      SetCapture(handle_);
      panning_ = true;
      panLast_ = ClientPoint(lParam);
      SetCursor(LoadCursorA(nullptr, IDC_SIZEALL));
      return 0;
    case WM_MBUTTONUP:
      panning_ = false;
      if (GetCapture() == handle_ && !gesture_.Active()) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse: whatever was being dragged ends without effect.
      if (reinterpret_cast<HWND>(lParam) != handle_) {
        panning_ = false;
        if (gesture_.Active()) {
          gesture_.Cancel();
          Redraw();
        }
      }
      return 0;
    case WM_SETCURSOR:
      if (panning_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorA(nullptr, IDC_SIZEALL));
        return TRUE;
      }
      break;
    case WM_MOUSEWHEEL:
      OnWheel(
          {static_cast<double>(GET_X_LPARAM(lParam)), static_cast<double>(GET_Y_LPARAM(lParam))},
          GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_HOME) {
        Fit();
        return 0;
      }
      break;
    case WM_CHAR:
      OnChar(wParam);
      return 0;
    case kMsgBoardToClient:
      return BoardToClient(wParam, lParam);
    case kMsgLoadCount:
      return static_cast<LRESULT>(document_.Loads());
    case kMsgItemAt: {
      const std::optional<std::size_t> item = ItemAt(view_.ToBoard(ClientPoint(lParam)));
      return item ? static_cast<LRESULT>(*item + 1) : 0;
    }
    case WM_DESTROY:
      KillTimer(handle_, kReloadTimer);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(handle_, message, wParam, lParam);
}

void BoardViewWindow::MakeFont() {
  LOGFONTA face{};
  face.lfHeight = -kordane::PointsToPixels(9, dpi_);
  face.lfWeight = FW_NORMAL;
  face.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(face.lfFaceName, "Arial", LF_FACESIZE);
  font_.Reset(CreateFontIndirectA(&face));
}

double BoardViewWindow::Px(double value) const {
  return value * dpi_ / kordane::kDefaultDpi;
}

int BoardViewWindow::Px(int value) const {
  return kordane::ui::Scale(value, dpi_);
}

void BoardViewWindow::OnCreate() {
  dpi_ = kordane::ui::WindowDpi(handle_);
  MakeFont();
  status_ =
      CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                      handle_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                      GetModuleHandleA(nullptr), nullptr);
  // The bar takes its height now, so that the first fit already leaves room for it.
  SendMessageA(status_, WM_SIZE, 0, 0);
  SetTimer(handle_, kReloadTimer, kReloadMilliseconds, nullptr);
  Reload();
  UpdateStatus();
}

void BoardViewWindow::OnSize() {
  if (status_ != nullptr) SendMessageA(status_, WM_SIZE, 0, 0);
  if (!userMoved_ && document_.Current() != nullptr) Fit();
  Redraw();
}

RECT BoardViewWindow::ViewArea() const {
  RECT area{};
  GetClientRect(handle_, &area);
  if (status_ != nullptr) {
    RECT bar{};
    GetWindowRect(status_, &bar);
    area.bottom = std::max(area.top, area.bottom - (bar.bottom - bar.top));
  }
  return area;
}

Point BoardViewWindow::ClientPoint(LPARAM lParam) const {
  return {static_cast<double>(GET_X_LPARAM(lParam)), static_cast<double>(GET_Y_LPARAM(lParam))};
}

std::optional<std::size_t> BoardViewWindow::ItemAt(Point board) const {
  return HitTest(document_.Scene(), board, view_.BoardLength(Px(kHitPixels)),
                 view_.BoardLength(Px(kMarkerPixels)));
}

LRESULT BoardViewWindow::BoardToClient(WPARAM x, LPARAM y) const {
  const Point client = view_.ToClient({static_cast<double>(static_cast<std::int32_t>(x)),
                                       static_cast<double>(static_cast<std::int32_t>(y))});
  const auto to16 = [](double value) {
    return static_cast<WORD>(static_cast<SHORT>(std::lround(std::clamp(value, -32768.0, 32767.0))));
  };
  return static_cast<LRESULT>(MAKELONG(to16(client.x), to16(client.y)));
}

void BoardViewWindow::Fit() {
  const RECT area = ViewArea();
  view_.Fit(SceneBounds(document_.Scene()), area.right - area.left, area.bottom - area.top,
            Px(kFitMargin));
  fitted_ = true;
  userMoved_ = false;
  Redraw();
  UpdateStatus();
}

void BoardViewWindow::Reload() {
  // Tried again at the next tick: the window never waits long for the host's writes.
  const BoardDocument::ReadResult read = document_.Refresh(kReadPatience);
  const bool busy = read == BoardDocument::ReadResult::Busy;
  if (busy != (note_ == kBusyNote)) {
    note_ = busy ? std::optional<std::string>(kBusyNote) : std::nullopt;
    UpdateStatus();
  }
  switch (read) {
    case BoardDocument::ReadResult::Unchanged:
    case BoardDocument::ReadResult::Busy:
      return;
    case BoardDocument::ReadResult::Loaded:
      note_.reset();
      // The view keeps its zoom and place; only the very first board is fitted.
      if (!fitted_) Fit();
      break;
    case BoardDocument::ReadResult::Failed:
      break;
  }
  Redraw();
  UpdateStatus();
}

void BoardViewWindow::ChangeSelection(const std::function<Selection(const Selection&)>& rule) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (document_.Current() == nullptr) return;
    switch (document_.WriteSelection(rule(document_.CurrentSelection()))) {
      case BoardDocument::WriteResult::Written:
        note_.reset();
        Redraw();
        UpdateStatus();
        return;
      case BoardDocument::WriteResult::Unchanged:
        return;
      case BoardDocument::WriteResult::Stale:
        Reload();  // newer than the last read: read it, then decide again on what it holds
        continue;
      case BoardDocument::WriteResult::Refused:
        note_ = "selection not written while the file does not parse";
        UpdateStatus();
        return;
      case BoardDocument::WriteResult::Unreadable: {
        std::error_code ignored;
        note_ = std::filesystem::exists(document_.Path(), ignored)
                    ? "selection not written while the file cannot be read"
                    : "selection not written while the file is missing";
        UpdateStatus();
        return;
      }
      case BoardDocument::WriteResult::Failed:
        note_ = "cannot write " + document_.Path().string();
        UpdateStatus();
        return;
    }
  }
}

void BoardViewWindow::OnMouseMove(Point client, WPARAM keys) {
  if (!trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
    trackingLeave_ = TrackMouseEvent(&track) != 0;
  }
  if (panning_ && (keys & MK_MBUTTON) != 0) {
    view_.PanBy(client.x - panLast_.x, client.y - panLast_.y);
    panLast_ = client;
    userMoved_ = true;
    Redraw();
  }
  // Only a move with the button held drags; a move Windows makes up (a window appearing under
  // the pointer) does not turn a click into a rectangle.
  if ((keys & MK_LBUTTON) != 0 && gesture_.Move(client, view_.ToBoard(client))) Redraw();
  const RECT area = ViewArea();
  const bool inView = client.x >= area.left && client.x < area.right && client.y >= area.top &&
                      client.y < area.bottom;
  const std::optional<Point> pointer = inView ? std::optional(view_.ToBoard(client)) : std::nullopt;
  const bool hoverChanged =
      (pointer ? ItemAt(*pointer) : std::nullopt) != (pointer_ ? ItemAt(*pointer_) : std::nullopt);
  pointer_ = pointer;
  if (hoverChanged) Redraw();
  UpdateStatus();
}

void BoardViewWindow::OnLeftUp(Point client) {
  const std::optional<PointerGesture::Outcome> outcome =
      gesture_.Release(client, view_.ToBoard(client));
  if (GetCapture() == handle_ && !panning_) ReleaseCapture();
  if (!outcome) return;
  if (outcome->kind == PointerGesture::Outcome::Kind::Rectangle) {
    Redraw();  // the rubber band goes
    ChangeSelection([&](const Selection& current) {
      return SelectRectangle(current, document_.Scene(), outcome->box, outcome->control);
    });
  } else {
    ChangeSelection([&](const Selection& current) {
      return Click(current, ItemAt(outcome->at), outcome->control);
    });
  }
}

void BoardViewWindow::OnWheel(Point screen, int delta) {
  POINT pixel = Pixel(screen);
  ScreenToClient(handle_, &pixel);
  view_.ZoomAt({static_cast<double>(pixel.x), static_cast<double>(pixel.y)},
               std::pow(kWheelStep, delta / static_cast<double>(WHEEL_DELTA)));
  userMoved_ = true;
  Redraw();
  UpdateStatus();
}

void BoardViewWindow::OnChar(WPARAM code) {
  constexpr WPARAM kControlA = 1;  // what Ctrl+A types
  if (code == kControlA) {
    ChangeSelection(SelectAll);
  } else if (code == VK_ESCAPE) {
    if (gesture_.Active()) {
      gesture_.Cancel();
      if (GetCapture() == handle_) ReleaseCapture();
      Redraw();
    } else {
      ChangeSelection(SelectNone);
    }
  }
}

void BoardViewWindow::UpdateStatus() {
  if (status_ == nullptr) return;
  StatusInfo info;
  info.error = document_.Error();
  info.note = note_;
  if (const Board* board = document_.Current()) {
    info.units = board->units;
    const Selection selection = document_.CurrentSelection();
    info.selected = CountSelected(selection);
    info.items = selection.size();
    info.gridStep = GridStep(board->units, view_.Scale(), Px(kGridPixels));
    if (pointer_) {
      info.pointer = pointer_;
      if (const std::optional<std::size_t> under = ItemAt(*pointer_)) {
        for (const Shape& shape : document_.Scene()) {
          if (shape.item == *under) info.under = shape.label;
        }
      }
    }
  }
  const std::string text = StatusText(info);
  if (text != statusText_) {
    statusText_ = text;
    SetWindowTextA(status_, text.c_str());
  }
}

void BoardViewWindow::Redraw() const {
  if (handle_ == nullptr) return;
  const RECT area = ViewArea();
  InvalidateRect(handle_, &area, FALSE);
}

void BoardViewWindow::OnPaint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(handle_, &paint);
  const RECT area = ViewArea();
  const int width = std::max<int>(area.right - area.left, 1);
  const int height = std::max<int>(area.bottom - area.top, 1);
  // Drawn off screen and copied in one go, so the picture never flickers as it is built.
  MemoryDc memory(dc);
  GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
  {
    SelectObjectGuard selected(memory.Get(), bitmap.Get());
    Draw(memory.Get(), width, height);
    BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
  }
  EndPaint(handle_, &paint);
}

void BoardViewWindow::Draw(HDC dc, int width, int height) const {
  const RECT all{0, 0, width, height};
  GdiObject<HBRUSH> background = Brush(kBackground);
  FillRect(dc, &all, background.Get());
  const Board* board = document_.Current();
  if (board == nullptr) return;

  // The grid: lines at each step, brighter at every tenth, brightest through the origin.
  const double step = GridStep(board->units, view_.Scale(), Px(kGridPixels));
  const Point low = view_.ToBoard({0, static_cast<double>(height)});
  const Point high = view_.ToBoard({static_cast<double>(width), 0});
  GdiObject<HPEN> minor = Pen(kGridMinor);
  GdiObject<HPEN> major = Pen(kGridMajor);
  GdiObject<HPEN> axes = Pen(kAxes);
  const auto penFor = [&](double index) {
    const double n = std::round(index);
    return n == 0 ? axes.Get() : std::fmod(n, 10.0) == 0 ? major.Get() : minor.Get();
  };
  for (double i = std::ceil(low.x / step); i * step <= high.x; ++i) {
    SelectObjectGuard pen(dc, penFor(i));
    const POINT at = Pixel(view_.ToClient({i * step, 0}));
    MoveToEx(dc, at.x, 0, nullptr);
    LineTo(dc, at.x, height);
  }
  for (double i = std::ceil(low.y / step); i * step <= high.y; ++i) {
    SelectObjectGuard pen(dc, penFor(i));
    const POINT at = Pixel(view_.ToClient({0, i * step}));
    MoveToEx(dc, 0, at.y, nullptr);
    LineTo(dc, width, at.y);
  }

  const std::optional<std::size_t> hovered = pointer_ ? ItemAt(*pointer_) : std::nullopt;
  GdiObject<HPEN> bodyLine = Pen(kBodyLine);
  GdiObject<HPEN> selectedLine = Pen(kSelectedLine, Px(2));
  GdiObject<HPEN> hoverLine = Pen(kHover, Px(2));
  GdiObject<HBRUSH> bodyFill = Brush(kBodyFill);
  GdiObject<HBRUSH> selectedFill = Brush(kSelectedFill);
  GdiObject<HBRUSH> markerFill = Brush(kMarker);
  GdiObject<HPEN> markerLine = Pen(kMarker);
  GdiObject<HPEN> originSelected = Pen(kSelectedLabel);
  GdiObject<HPEN> originPlain = Pen(kLabel);
  for (const Shape& shape : document_.Scene()) {
    const bool selected = board->items[shape.item].selected;
    const POINT origin = Pixel(view_.ToClient(shape.origin));
    HPEN outline = shape.item == hovered ? hoverLine.Get()
                   : selected            ? selectedLine.Get()
                   : shape.isComponent   ? bodyLine.Get()
                                         : markerLine.Get();
    SelectObjectGuard pen(dc, outline);
    if (shape.isComponent) {
      POINT corners[4];
      for (std::size_t i = 0; i < 4; ++i) corners[i] = Pixel(view_.ToClient(shape.corners[i]));
      SelectObjectGuard brush(dc, selected ? selectedFill.Get() : bodyFill.Get());
      Polygon(dc, corners, 4);
      // The origin: a small cross.
      SelectObjectGuard mark(dc, selected ? originSelected.Get() : originPlain.Get());
      const int arm = Px(3);
      MoveToEx(dc, origin.x - arm, origin.y, nullptr);
      LineTo(dc, origin.x + arm + 1, origin.y);
      MoveToEx(dc, origin.x, origin.y - arm, nullptr);
      LineTo(dc, origin.x, origin.y + arm + 1);
    } else {
      const int r = static_cast<int>(std::lround(Px(kMarkerPixels)));
      const POINT diamond[4] = {{origin.x, origin.y - r},
                                {origin.x + r, origin.y},
                                {origin.x, origin.y + r},
                                {origin.x - r, origin.y}};
      SelectObjectGuard brush(dc, selected ? selectedFill.Get() : markerFill.Get());
      Polygon(dc, diamond, 4);
    }
  }

  // Labels last, so that no body covers one: centred above the body or the marker.
  SelectObjectGuard font(dc, font_.Get());
  SetBkMode(dc, TRANSPARENT);
  for (const Shape& shape : document_.Scene()) {
    const bool selected = board->items[shape.item].selected;
    SetTextColor(dc, selected ? kSelectedLabel : kLabel);
    const POINT top = Pixel(view_.ToClient({shape.origin.x, shape.bounds.top}));
    const POINT origin = Pixel(view_.ToClient(shape.origin));
    const int above = shape.isComponent
                          ? top.y - Px(2)
                          : origin.y - static_cast<int>(std::lround(Px(kMarkerPixels))) - Px(2);
    SetTextAlign(dc, TA_CENTER | TA_BOTTOM);
    TextOutA(dc, origin.x, above, shape.label.c_str(), static_cast<int>(shape.label.size()));
  }

  if (const std::optional<Box> rubber = gesture_.Rubber()) {
    GdiObject<HPEN> dotted = Pen(kRubber, 1, PS_DOT);
    SelectObjectGuard pen(dc, dotted.Get());
    SelectObjectGuard brush(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    const POINT a = Pixel(view_.ToClient({rubber->left, rubber->top}));
    const POINT b = Pixel(view_.ToClient({rubber->right, rubber->bottom}));
    Rectangle(dc, a.x, a.y, b.x + 1, b.y + 1);
  }
}

}  // namespace standin::boardview
