// win32_gl_api.cpp — the stand-in's GPU presenter: OpenGL through WGL
// (win32_present_api.h).
//
// OpenGL rather than Direct3D 9: opengl32.dll is on every Windows, and
// under Wine it goes straight to the host's GL, where Direct3D 9 goes
// through the same Direct3D layer (and command thread) as DirectDraw.
//
// Per present: the 320x240 frame is uploaded into a texture of its own size
// (glTexSubImage2D), drawn nearest neighbour into a framebuffer object's
// texture at the largest whole multiple that fits the client area, and that
// texture is drawn smoothly (linear) into the picture's rectangle on a black
// client area: the look of the sdl twin's GPU path and of picture_scale's
// enlargement. Swap interval 1 lets the display pace the swaps. Needs
// OpenGL 2.0 (textures of any size, clamping to the edge) and framebuffer
// objects; drawing is the fixed-function pipeline of a compatibility
// context, so no shaders.
#include <windows.h>
// windows.h first: gl.h relies on its types.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/frame_shape.h"
#include "platform/win32/win32_present_api.h"

namespace {

// OpenGL 1.2+ names that gl.h (1.1) lacks.
constexpr GLenum kBgra = 0x80E1;
constexpr GLenum kClampToEdge = 0x812F;
constexpr GLenum kFramebuffer = 0x8D40;
constexpr GLenum kColorAttachment0 = 0x8CE0;
constexpr GLenum kFramebufferComplete = 0x8CD5;

using GenFramebuffers = void(APIENTRY*)(GLsizei, GLuint*);
using DeleteFramebuffers = void(APIENTRY*)(GLsizei, const GLuint*);
using BindFramebuffer = void(APIENTRY*)(GLenum, GLuint);
using FramebufferTexture2D = void(APIENTRY*)(GLenum, GLenum, GLenum, GLuint, GLint);
using CheckFramebufferStatus = GLenum(APIENTRY*)(GLenum);
using SwapInterval = BOOL(WINAPI*)(int);

struct FramebufferCalls {
  GenFramebuffers gen;
  DeleteFramebuffers remove;
  BindFramebuffer bind;
  FramebufferTexture2D texture;
  CheckFramebufferStatus check;
};

// TEST HOOK: QM7_TEST_GL_REFUSE=context makes OpenGlPresenter fail as a
// driver refusing the context would, and =present makes the 30th present
// fail as a refused swap would, so the Wine stage can see the fallback to
// GDI on a machine whose OpenGL works.
const char* RefuseForTest() {
  const char* step = std::getenv("QM7_TEST_GL_REFUSE");
  return step ? step : "";
}

struct GlState {
  HWND window = nullptr;
  HDC dc = nullptr;
  HGLRC context = nullptr;
  FramebufferCalls fb = {};
  GLuint frame = 0;       // the 320x240 frame, nearest
  GLuint scaled = 0;      // the whole multiple, linear
  GLuint framebuffer = 0;  // draws into `scaled`
  int factor = 0;         // of `scaled`; 0 before the first present
  int presents = 0;
};
GlState Gl;

// A context's function: core names first, then the EXT ones.
PROC Find(const char* core, const char* ext) {
  PROC found = wglGetProcAddress(core);
  // Some drivers answer 1, 2, 3 or -1 for "not there".
  auto bad = [](PROC p) {
    auto v = reinterpret_cast<intptr_t>(p);
    return v == 0 || v == 1 || v == 2 || v == 3 || v == -1;
  };
  if (bad(found) && ext) found = wglGetProcAddress(ext);
  return bad(found) ? nullptr : found;
}

// A found function as its own type (through void(*)(), the type a cast
// between function types may pass through).
template <typename F>
F As(PROC found) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(found));
}

bool FindFramebufferCalls(FramebufferCalls* fb) {
  fb->gen = As<GenFramebuffers>(Find("glGenFramebuffers", "glGenFramebuffersEXT"));
  fb->remove = As<DeleteFramebuffers>(
      Find("glDeleteFramebuffers", "glDeleteFramebuffersEXT"));
  fb->bind = As<BindFramebuffer>(Find("glBindFramebuffer", "glBindFramebufferEXT"));
  fb->texture = As<FramebufferTexture2D>(
      Find("glFramebufferTexture2D", "glFramebufferTexture2DEXT"));
  fb->check = As<CheckFramebufferStatus>(
      Find("glCheckFramebufferStatus", "glCheckFramebufferStatusEXT"));
  return fb->gen && fb->remove && fb->bind && fb->texture && fb->check;
}

// A double-buffered RGBA pixel format for `dc`; false when none is offered
// or it cannot be set. `generic` is true for Windows' own software one.
bool SetFormat(HDC dc, bool* generic) {
  PIXELFORMATDESCRIPTOR want = {};
  want.nSize = sizeof want;
  want.nVersion = 1;
  want.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  want.iPixelType = PFD_TYPE_RGBA;
  want.cColorBits = 32;
  want.iLayerType = PFD_MAIN_PLANE;
  int format = ChoosePixelFormat(dc, &want);
  if (format == 0) return false;
  PIXELFORMATDESCRIPTOR got = {};
  DescribePixelFormat(dc, format, sizeof got, &got);
  *generic = (got.dwFlags & PFD_GENERIC_FORMAT) && !(got.dwFlags & PFD_GENERIC_ACCELERATED);
  return SetPixelFormat(dc, format, &want) != FALSE;
}

int MajorVersion() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  return version ? std::atoi(version) : 0;
}

bool IsSoftwareRenderer(const char* renderer) {
  static const char* const kSoftware[] = {"llvmpipe", "softpipe", "swrast", "Software Rasterizer",
                                          "GDI Generic"};
  for (const char* name : kSoftware)
    if (std::strstr(renderer, name)) return true;
  return false;
}

void MakeTexture(GLuint* texture, int width, int height, GLint filter) {
  glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_2D, *texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, kClampToEdge);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kClampToEdge);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, kBgra, GL_UNSIGNED_BYTE, nullptr);
}

// The target texture at `factor` times the frame, attached to the
// framebuffer object. False when the driver will not draw into it.
bool PrepareScaled(int factor) {
  if (Gl.scaled) glDeleteTextures(1, &Gl.scaled);
  Gl.scaled = 0;
  Gl.factor = 0;
  MakeTexture(&Gl.scaled, kFrameWidth * factor, kFrameHeight * factor, GL_LINEAR);
  Gl.fb.bind(kFramebuffer, Gl.framebuffer);
  Gl.fb.texture(kFramebuffer, kColorAttachment0, GL_TEXTURE_2D, Gl.scaled, 0);
  bool complete = Gl.fb.check(kFramebuffer) == kFramebufferComplete;
  Gl.fb.bind(kFramebuffer, 0);
  if (!complete || glGetError() != GL_NO_ERROR) return false;
  Gl.factor = factor;
  return true;
}

// The whole viewport, with texture rows from `top` (0 or 1) at the top.
void DrawQuad(float top) {
  float bottom = 1.0f - top;
  glBegin(GL_QUADS);
  glTexCoord2f(0, bottom);
  glVertex2f(-1, -1);
  glTexCoord2f(1, bottom);
  glVertex2f(1, -1);
  glTexCoord2f(1, top);
  glVertex2f(1, 1);
  glTexCoord2f(0, top);
  glVertex2f(-1, 1);
  glEnd();
}

LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

namespace win32 {

GlProbe ProbeGl() {
  GlProbe probe = {};
  std::snprintf(probe.renderer, sizeof probe.renderer, "no OpenGL context");
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = ProbeProcedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "qm7 gl probe";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "qm7 gl probe", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return probe;
  HDC dc = GetDC(window);
  bool generic = false;
  if (dc && SetFormat(dc, &generic)) {
    HGLRC context = wglCreateContext(dc);
    if (context && wglMakeCurrent(dc, context)) {
      const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
      std::snprintf(probe.renderer, sizeof probe.renderer, "%s", renderer ? renderer : "?");
      FramebufferCalls fb = {};
      probe.software = generic || IsSoftwareRenderer(probe.renderer);
      probe.usable = MajorVersion() >= 2 && FindFramebufferCalls(&fb);
      if (!probe.usable) {
        char named[96];
        std::snprintf(named, sizeof named, "%s", probe.renderer);
        std::snprintf(probe.renderer, sizeof probe.renderer,
                      "%.60s lacks OpenGL 2.0 or framebuffer objects", named);
      }
      wglMakeCurrent(nullptr, nullptr);
    }
    if (context) wglDeleteContext(context);
  }
  if (dc) ReleaseDC(window, dc);
  DestroyWindow(window);
  return probe;
}

bool OpenGlPresenter(HWND window, char* why, int whyBytes) {
  auto refuse = [&](const char* text) {
    std::snprintf(why, static_cast<size_t>(whyBytes), "%s", text);
    CloseGlPresenter();
    return false;
  };
  if (std::strcmp(RefuseForTest(), "context") == 0) return refuse("context refused (QM7_TEST_GL_REFUSE)");
  Gl.window = window;
  // Kept for the presenter's life: the pixel format and context are the DC's.
  Gl.dc = GetDC(window);
  if (!Gl.dc) return refuse("GetDC failed");
  bool generic = false;
  if (!SetFormat(Gl.dc, &generic)) return refuse("no pixel format");
  Gl.context = wglCreateContext(Gl.dc);
  if (!Gl.context) return refuse("wglCreateContext failed");
  if (!wglMakeCurrent(Gl.dc, Gl.context)) return refuse("wglMakeCurrent failed");
  if (MajorVersion() < 2 || !FindFramebufferCalls(&Gl.fb))
    return refuse("no OpenGL 2.0 or framebuffer objects");
  auto swapInterval = As<SwapInterval>(Find("wglSwapIntervalEXT", nullptr));
  if (swapInterval) swapInterval(1);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  MakeTexture(&Gl.frame, kFrameWidth, kFrameHeight, GL_NEAREST);
  Gl.fb.gen(1, &Gl.framebuffer);
  if (glGetError() != GL_NO_ERROR) return refuse("the textures were refused");
  return true;
}

bool GlPresent(const void* frame, int pitch, int width, int height, const PictureRect& place) {
  if (!Gl.context) return false;
  if (++Gl.presents == 30 && std::strcmp(RefuseForTest(), "present") == 0) return false;
  int factor = width / kFrameWidth;
  if (height / kFrameHeight < factor) factor = height / kFrameHeight;
  if (factor < 1) factor = 1;
  if (factor != Gl.factor && !PrepareScaled(factor)) return false;

  glBindTexture(GL_TEXTURE_2D, Gl.frame);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch / 4);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kFrameWidth, kFrameHeight, kBgra, GL_UNSIGNED_BYTE,
                  frame);
  // The frame's first row is the texture's first: kept at the bottom of the
  // scaled texture (its first row too), shown at the top of the window.
  Gl.fb.bind(kFramebuffer, Gl.framebuffer);
  glViewport(0, 0, kFrameWidth * factor, kFrameHeight * factor);
  DrawQuad(1.0f);
  Gl.fb.bind(kFramebuffer, 0);

  glViewport(0, 0, width, height);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindTexture(GL_TEXTURE_2D, Gl.scaled);
  glViewport(place.x, height - place.y - place.h, place.w, place.h);
  DrawQuad(0.0f);
  return SwapBuffers(Gl.dc) != FALSE;
}

void CloseGlPresenter() {
  if (Gl.context) {
    if (Gl.fb.remove && Gl.framebuffer) Gl.fb.remove(1, &Gl.framebuffer);
    if (Gl.frame) glDeleteTextures(1, &Gl.frame);
    if (Gl.scaled) glDeleteTextures(1, &Gl.scaled);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(Gl.context);
  }
  if (Gl.dc) ReleaseDC(Gl.window, Gl.dc);
  Gl = GlState{};
}

}  // namespace win32
