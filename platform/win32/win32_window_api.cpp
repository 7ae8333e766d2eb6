// win32_window_api.cpp — the real window, message loop, cursor and message box.
//
// The window procedure registered with the class forwards every message to
// the host's procedure (DemoWindowProc); what that one does not handle comes
// back through DefaultProcedure to DefWindowProcA. WM_CREATE arrives inside
// CreateWindowExA, so the procedure is known before the window is made.
//
// While the display's mode is a stand-in (win32_ddraw_api.cpp), the window
// is either a borderless window over its whole monitor or a titled,
// resizable one; Alt+Enter and F11 switch between them here, before the
// host's procedure, which never sees those keys. A switch only restyles,
// moves and resizes the window: nothing else in the program notices.
#include <windows.h>

#include <cstdio>

#include "platform/frame_shape.h"
#include "platform/win32/win32_api.h"

namespace {

constexpr DWORD kWindowedStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kFullScreenStyle = WS_POPUP;

struct PlaceState {
  bool startWindowed = false;  // --window
  bool standIn = false;        // the switch keys work (ShowStandIn was called)
  bool windowed = false;       // what the window is now
  bool haveRect = false;       // `rect` holds the window's last windowed place
  RECT rect = {};
};
PlaceState Place;

win32::Procedure HostProcedure = nullptr;
MSG LastMessage = {};  // the full MSG of the last GetMessageA
const uint32_t* IconPixels = nullptr;
int IconSize = 0;

// An icon from the 0xAARRGGBB picture (straight alpha, top row first), or
// null. A 32-bit colour bitmap with alpha carries the shape; the mask is unused.
HICON MakeIcon() {
  if (!IconPixels || IconSize <= 0) return nullptr;
  BITMAPV5HEADER header = {};
  header.bV5Size = sizeof header;
  header.bV5Width = IconSize;
  header.bV5Height = -IconSize;  // top-down
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!color || !bits) return nullptr;
  // Premultiplied alpha is what the system blends with.
  auto* out = static_cast<uint32_t*>(bits);
  for (int i = 0; i < IconSize * IconSize; ++i) {
    uint32_t p = IconPixels[i], a = p >> 24;
    uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255, b = (p & 0xFF) * a / 255;
    out[i] = a << 24 | r << 16 | g << 8 | b;
  }
  HBITMAP mask = CreateBitmap(IconSize, IconSize, 1, 1, nullptr);
  ICONINFO info = {};
  info.fIcon = TRUE;
  info.hbmMask = mask;
  info.hbmColor = color;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(color);
  return icon;
}

MONITORINFO MonitorOf(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
  if (!GetMonitorInfoA(monitor, &info)) {
    info.rcMonitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    info.rcWork = info.rcMonitor;
  }
  return info;
}

// The starting window: the largest of 4x, 3x, 2x the frame (client area)
// whose frame fits the work area, centred there; 2x when none fits.
RECT StartRect(HWND window) {
  RECT work = MonitorOf(window).rcWork;
  RECT r = {};
  for (int factor = 4; factor >= 2; --factor) {
    r = {0, 0, factor * kFrameWidth, factor * kFrameHeight};
    AdjustWindowRectEx(&r, kWindowedStyle, FALSE, 0);
    if (r.right - r.left <= work.right - work.left && r.bottom - r.top <= work.bottom - work.top)
      break;
  }
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = work.left + (work.right - work.left - w) / 2;
  int y = work.top + (work.bottom - work.top - h) / 2;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  return {x, y, x + w, y + h};
}

void ToWindow(HWND window) {
  RECT r = Place.haveRect ? Place.rect : StartRect(window);
  SetWindowLongPtrA(window, GWL_STYLE, kWindowedStyle | WS_VISIBLE);
  // Not topmost (the exclusive mode, when left, made it so).
  SetWindowLongPtrA(window, GWL_EXSTYLE, 0);
  SetWindowPos(window, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  Place.windowed = true;
}

void ToFullScreen(HWND window) {
  if (Place.windowed && !IsIconic(window) && GetWindowRect(window, &Place.rect))
    Place.haveRect = true;
  RECT m = MonitorOf(window).rcMonitor;
  SetWindowLongPtrA(window, GWL_STYLE, kFullScreenStyle | WS_VISIBLE);
  SetWindowPos(window, HWND_NOTOPMOST, m.left, m.top, m.right - m.left, m.bottom - m.top,
               SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  Place.windowed = false;
}

// Alt+Enter (WM_SYSKEYDOWN with the Alt bit, 29, of the key data) or F11.
bool IsSwitchKey(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SYSKEYDOWN) return wParam == VK_RETURN && (lParam & (1 << 29));
  return message == WM_KEYDOWN && wParam == VK_F11;
}

LRESULT CALLBACK ForwardingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!Place.standIn && IsSwitchKey(message, wParam, lParam) && !(lParam & (1 << 30)) &&
      win32::DdLeaveExclusive(window)) {
    win32::ShowStandIn(window, true);
    return 0;
  }
  if (Place.standIn && IsSwitchKey(message, wParam, lParam)) {
    bool repeat = lParam & (1 << 30);  // the key was already down: once per press
    if (!repeat && Place.windowed)
      ToFullScreen(window);
    else if (!repeat)
      ToWindow(window);
    return 0;
  }
  // Alt+Enter's character would only make DefWindowProc beep.
  if (Place.standIn && message == WM_SYSCHAR && wParam == '\r') return 0;
  if (!HostProcedure) return DefWindowProcA(window, message, wParam, lParam);
  return HostProcedure(window, message, wParam, lParam);
}

// The MSG to hand on: the one GetMessageA returned, or one made from the
// fields when the caller passes a message of its own.
MSG FullMessage(const win32::Message& m) {
  if (LastMessage.hwnd == static_cast<HWND>(m.window) && LastMessage.message == m.message &&
      LastMessage.wParam == m.wParam && LastMessage.lParam == m.lParam)
    return LastMessage;
  MSG msg = {};
  msg.hwnd = static_cast<HWND>(m.window);
  msg.message = m.message;
  msg.wParam = m.wParam;
  msg.lParam = m.lParam;
  msg.time = GetMessageTime();
  return msg;
}

void CopyOut(const MSG& msg, win32::Message* out) {
  out->window = msg.hwnd;
  out->message = msg.message;
  out->wParam = msg.wParam;
  out->lParam = msg.lParam;
}

// The show command the program was started with (WinMain's nCmdShow).
int StartShowCommand() {
  STARTUPINFOA info = {};
  info.cb = sizeof info;
  GetStartupInfoA(&info);
  return (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

namespace win32 {

void SetIconPixels(const uint32_t* argb, int size) {
  IconPixels = argb;
  IconSize = size;
}

void* CreateDemoWindow(const char* title, Procedure procedure) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HostProcedure = procedure;

  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = ForwardingProcedure;
  windowClass.hInstance = instance;
  // The program's icon group "iconbig" at the system's two icon sizes; else
  // the picture handed to SetIconPixels; else the system's icon.
  HICON picture = MakeIcon();
  auto fromResource = [&](int sizeMetric) {
    int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(LoadImageA(instance, "iconbig", IMAGE_ICON, size, size, 0));
  };
  HICON big = fromResource(SM_CXICON), small = fromResource(SM_CXSMICON);
  windowClass.hIcon = big ? big : picture ? picture : LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "brisk demo";
  windowClass.hIconSm = small ? small : picture;
  RegisterClassExA(&windowClass);

  // Started in a window, it is made in its windowed place at once; full
  // screen gets its place from the display (mode switch or ShowStandIn).
  RECT r = StartRect(nullptr);
  HWND window = Place.startWindowed
                    ? CreateWindowExA(0, "brisk demo", title, kWindowedStyle, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                      instance, nullptr)
                    : CreateWindowExA(0, "brisk demo", title, kFullScreenStyle, 0, 0,
                                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                                      nullptr);
  if (!window) return nullptr;
  Place.windowed = Place.startWindowed;
  ShowWindow(window, StartShowCommand());
  UpdateWindow(window);
  return window;
}

int PeekMessageNoRemove(Message* out) {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) return 0;
  CopyOut(msg, out);
  return 1;
}

int GetMessageAny(Message* out) {
  BOOL result = GetMessageA(&LastMessage, nullptr, 0, 0);
  CopyOut(LastMessage, out);
  return result;
}

void TranslateLastMessage(const Message& message) {
  MSG msg = FullMessage(message);
  TranslateMessage(&msg);
}

intptr_t DispatchLastMessage(const Message& message) {
  MSG msg = FullMessage(message);
  return DispatchMessageA(&msg);
}

void WaitForMessage() { WaitMessage(); }

intptr_t DefaultProcedure(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return DefWindowProcA(static_cast<HWND>(window), message, wParam, lParam);
}

void DestroyDemoWindow(void* window) { DestroyWindow(static_cast<HWND>(window)); }

void PostQuit(int code) { PostQuitMessage(code); }

void ShowArrow(bool arrow) { SetCursor(arrow ? LoadCursorA(nullptr, IDC_ARROW) : nullptr); }

void* ForegroundWindow() { return GetForegroundWindow(); }

void MessageBoxOk(const char* text, const char* caption, void* owner) {
  MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  // The box's area is repainted by the window's own WM_PAINT, not left as it was.
  InvalidateWindow(owner);
}

void InvalidateWindow(void* window) {
  if (window) InvalidateRect(static_cast<HWND>(window), nullptr, TRUE);
}

void ShowText(const char* text, bool error) {
  DWORD which = error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  HANDLE handle = GetStdHandle(which);
  DWORD type = handle && handle != INVALID_HANDLE_VALUE ? GetFileType(handle) : FILE_TYPE_UNKNOWN;
  FILE* stream = error ? stderr : stdout;
  if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR) {
    std::fputs(text, stream);
    std::fflush(stream);
    return;
  }
  if (AttachConsole(ATTACH_PARENT_PROCESS) && std::freopen("CONOUT$", "w", stream)) {
    // The prompt was printed before the program started: begin below it.
    std::fputs("\n", stream);
    std::fputs(text, stream);
    std::fflush(stream);
    return;
  }
  MessageBoxA(nullptr, text, "qm7", MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

void SetStartWindowed(bool windowed) { Place.startWindowed = windowed; }

bool StartWindowed() { return Place.startWindowed; }

void ShowStandIn(void* window, bool windowed) {
  HWND w = static_cast<HWND>(window);
  Place.standIn = true;
  if (windowed)
    ToWindow(w);
  else
    ToFullScreen(w);
}

void ClientSize(void* window, int* width, int* height) {
  RECT r = {};
  if (IsIconic(static_cast<HWND>(window)) || !GetClientRect(static_cast<HWND>(window), &r))
    r = {};
  *width = r.right - r.left;
  *height = r.bottom - r.top;
}

}  // namespace win32
