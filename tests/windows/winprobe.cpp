// winprobe.cpp — looks at a running qm7.exe from inside the same Windows
// session (under Wine in the tests) and prints what it finds.
//
//   qm7-winprobe mode SECONDS     waits for the demo window, then prints the
//                                 desktop's mode: "mode 320x240x32"
//   qm7-winprobe escape SECONDS   waits for the demo window and sends it Escape
//   qm7-winprobe popup SECONDS    waits for a message box, prints
//                                 "popup <caption>|<text>", presses its OK
//   qm7-winprobe place SECONDS    waits for the demo window, prints where it
//                                 is: "place X Y W H client W H titled" (or
//                                 "borderless"), screen pixels, frame included
//   qm7-winprobe alt-enter|f11 SECONDS
//                                 waits for the demo window and sends it that
//                                 key press, as the keyboard would
//   qm7-winprobe detached SECONDS COMMAND_LINE
//                                 starts COMMAND_LINE as a shortcut would: no
//                                 console and no standard handles; prints
//                                 "status N" once it ends (1 after SECONDS)
//   qm7-winprobe clock 0          prints the performance counter in ns, the
//                                 clock qm7.exe dates its QM7_STATS lines by
// Exit status 0 when it found what it waited for, 1 after SECONDS without.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND WaitFor(const char* className, double seconds) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(className, nullptr);
    if (window && IsWindowVisible(window)) return window;
    if ((GetTickCount() - start) / 1000.0 > seconds) return nullptr;
    Sleep(50);
  }
}

BOOL CALLBACK CollectText(HWND child, LPARAM user) {
  char className[64] = {};
  GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Static") != 0) return TRUE;
  char text[1024] = {};
  GetWindowTextA(child, text, sizeof text);
  if (text[0]) *reinterpret_cast<std::string*>(user) += text;
  return TRUE;
}

int Mode(double seconds) {
  DWORD start = GetTickCount();
  if (!WaitFor("brisk demo", seconds)) return 1;
  // The mode is set just after the window appears: wait for 320x240, and
  // report whatever the desktop has when the time is up.
  DEVMODEA mode = {};
  for (;;) {
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 1;
    if (mode.dmPelsWidth == 320 && mode.dmPelsHeight == 240) break;
    if ((GetTickCount() - start) / 1000.0 > seconds) break;
    Sleep(100);
  }
  std::printf("mode %lux%lux%lu\n", mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel);
  return 0;
}

int Escape(double seconds) {
  HWND window = WaitFor("brisk demo", seconds);
  if (!window) return 1;
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  std::printf("escape sent\n");
  return 0;
}

int Place(double seconds) {
  HWND window = WaitFor("brisk demo", seconds);
  if (!window) return 1;
  RECT outer = {}, client = {};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  bool titled = (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
  std::printf("place %ld %ld %ld %ld client %ld %ld %s\n", outer.left, outer.top,
              outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom,
              titled ? "titled" : "borderless");
  return 0;
}

// Alt+Enter: WM_SYSKEYDOWN with the Alt bit (29); F11: a plain WM_KEYDOWN.
int Key(bool altEnter, double seconds) {
  HWND window = WaitFor("brisk demo", seconds);
  if (!window) return 1;
  if (altEnter) {
    PostMessageA(window, WM_SYSKEYDOWN, VK_RETURN, 0x201C0001);
    PostMessageA(window, WM_SYSKEYUP, VK_RETURN, 0xE01C0001);
  } else {
    PostMessageA(window, WM_KEYDOWN, VK_F11, 0x00570001);
    PostMessageA(window, WM_KEYUP, VK_F11, 0xC0570001);
  }
  std::printf("key sent\n");
  return 0;
}

int Clock() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  std::printf("%lld\n", static_cast<long long>(static_cast<double>(count.QuadPart) * 1e9 /
                                                static_cast<double>(frequency.QuadPart)));
  return 0;
}

int Detached(double seconds, const char* commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;  // all three null
  PROCESS_INFORMATION process = {};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &process))
    return 1;
  DWORD code = 1;
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(seconds * 1000)) != WAIT_OBJECT_0)
    return 1;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("status %lu\n", code);
  return 0;
}

int Popup(double seconds) {
  HWND box = WaitFor("#32770", seconds);
  if (!box) return 1;
  Sleep(300);  // let the box finish drawing itself
  char caption[256] = {};
  GetWindowTextA(box, caption, sizeof caption);
  std::string text;
  EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
  std::printf("popup %s|%s\n", caption, text.c_str());
  std::fflush(stdout);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "detached") == 0) return Detached(std::atof(argv[2]), argv[3]);
  if (argc != 3) {
    std::fprintf(stderr, "usage: qm7-winprobe mode|escape|popup|place|alt-enter|f11|clock SECONDS\n"
                 "       qm7-winprobe detached SECONDS COMMAND_LINE\n");
    return 2;
  }
  double seconds = std::atof(argv[2]);
  if (std::strcmp(argv[1], "mode") == 0) return Mode(seconds);
  if (std::strcmp(argv[1], "escape") == 0) return Escape(seconds);
  if (std::strcmp(argv[1], "popup") == 0) return Popup(seconds);
  if (std::strcmp(argv[1], "place") == 0) return Place(seconds);
  if (std::strcmp(argv[1], "alt-enter") == 0) return Key(true, seconds);
  if (std::strcmp(argv[1], "f11") == 0) return Key(false, seconds);
  if (std::strcmp(argv[1], "clock") == 0) return Clock();
  std::fprintf(stderr, "qm7-winprobe: unknown command %s\n", argv[1]);
  return 2;
}
