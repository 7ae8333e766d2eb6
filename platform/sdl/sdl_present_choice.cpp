// sdl_present_choice.cpp — GPU or CPU presentation, decided once at start-up.
//
// The cheap signs come first, before any window or GL context exists: a path
// forced by QM7_PRESENT, software GL asked for, a remote X display, or (on
// Linux) no render node at all. Where a graphics device seems present, the
// renderer made on it is still checked for a processor rasteriser.
#include <SDL.h>

#include <glob.h>

#include <cstdlib>
#include <cstring>

#include "platform/sdl/sdl_present.h"

namespace {

bool EnvironmentSays(const char* name, const char* value) {
  const char* set = std::getenv(name);
  return set && SDL_strcasecmp(set, value) == 0;
}

// DISPLAY names another machine ("host:0"); a local one is ":0", "unix:0"
// or a socket path.
bool RemoteXDisplay() {
  const char* display = std::getenv("DISPLAY");
  if (!display || display[0] == ':' || display[0] == '/') return false;
  const char* colon = std::strrchr(display, ':');
  if (!colon) return false;
  size_t host = static_cast<size_t>(colon - display);
  return !(host == 4 && std::strncmp(display, "unix", 4) == 0);
}

bool NoRenderNode() {
#ifdef __linux__
  glob_t found = {};
  bool none = glob("/dev/dri/renderD*", 0, nullptr, &found) != 0 || found.gl_pathc == 0;
  globfree(&found);
  return none;
#else
  return false;
#endif
}

PresentPath Decide() {
  if (EnvironmentSays("QM7_PRESENT", "cpu")) return PresentPath::kCpu;
  if (EnvironmentSays("QM7_PRESENT", "gpu")) return PresentPath::kGpu;
  const char* driver = SDL_GetCurrentVideoDriver();
  bool x11 = driver && std::strcmp(driver, "x11") == 0;
  if (EnvironmentSays("LIBGL_ALWAYS_SOFTWARE", "1") || EnvironmentSays("SDL_RENDER_DRIVER", "software"))
    return PresentPath::kCpu;
  if (x11 && (RemoteXDisplay() || NoRenderNode())) return PresentPath::kCpu;
  return PresentPath::kGpu;
}

}  // namespace

PresentPath PreferredPresentPath() {
  static const PresentPath chosen = Decide();
  return chosen;
}

bool RendererIsSoftware(SDL_Renderer* renderer) {
  if (EnvironmentSays("QM7_PRESENT", "gpu")) return false;
  SDL_RendererInfo info = {};
  if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
  if (!(info.flags & SDL_RENDERER_ACCELERATED) || std::strcmp(info.name, "software") == 0)
    return true;
  if (std::strncmp(info.name, "opengl", 6) != 0) return false;
  using GetString = const unsigned char* (*)(unsigned int);
  auto glGetString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (!glGetString) return false;
  const char* name = reinterpret_cast<const char*>(glGetString(0x1F01 /* GL_RENDERER */));
  if (!name) return false;
  static const char* const kSoftware[] = {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"};
  for (const char* software : kSoftware)
    if (std::strstr(name, software)) return true;
  return false;
}
