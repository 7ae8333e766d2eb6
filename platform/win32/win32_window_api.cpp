// win32_window_api.cpp — the real window, message loop, cursor and message box.
//
// The window procedure registered with the class forwards every message to
// the host's procedure (DemoWindowProc); what that one does not handle comes
// back through DefaultProcedure to DefWindowProcA. WM_CREATE arrives inside
// CreateWindowExA, so the procedure is known before the window is made.
#include <windows.h>

#include "platform/win32/win32_api.h"

namespace {

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

LRESULT CALLBACK ForwardingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = ForwardingProcedure;
  windowClass.hInstance = instance;
  // The program's own picture when it has one, else the system's icons; a
  // resource named "iconbig" takes precedence for the small icon.
  HICON picture = MakeIcon();
  windowClass.hIcon = picture ? picture : LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "brisk demo";
  windowClass.hIconSm = LoadIconA(instance, "iconbig");
  if (!windowClass.hIconSm) windowClass.hIconSm = picture;
  RegisterClassExA(&windowClass);

  HWND window = CreateWindowExA(0, "brisk demo", title, WS_POPUP, 0, 0, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!window) return nullptr;
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
}

}  // namespace win32
