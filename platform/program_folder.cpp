// program_folder.cpp — the running program's folder, asked of the system it
// runs on (see program_folder.h).
#include "platform/program_folder.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>

#include <vector>
#endif

std::string ProgramFolder() {
#if defined(_WIN32)
  // The path may be longer than MAX_PATH; GetModuleFileName truncates
  // silently, so grow the buffer until the whole path fits.
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return "";
    path.resize(path.size() * 2);
  }
  const std::filesystem::path program(std::wstring(path.begin(), path.end()));
  return program.parent_path().string();
#elif defined(__EMSCRIPTEN__)
  return "";  // a page has no program file; its data sits in its own file system
#else
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || program.empty()) return "";
  return program.parent_path().string();
#endif
}
