// data_files.cpp — file and process helpers for the data tests.
#include "tests/data/data_files.h"

#include <stdlib.h>  // mkdtemp

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

const char* const kPictureNames[5] = {"brisk.bin", "opener7.bin", "wctk.bin", "w.pal", "scroll.bin"};

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

namespace {

struct TempDirs {
  std::vector<std::string> made;
  ~TempDirs() {
    std::error_code ignored;
    for (const std::string& d : made) std::filesystem::remove_all(d, ignored);
  }
};
TempDirs AllTempDirs;

}  // namespace

std::string MakeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qm7-data-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  if (!made) return {};
  AllTempDirs.made.push_back(made);
  return made;
}

bool GenerateInto(const std::string& dir) {
  std::string assets = std::string("'") + QM7_ASSETS_EXE + "' '" + dir + "'";
  std::string compose = std::string("'") + QM7_COMPOSE_EXE + "' '" + dir + "/qm7.it'";
  return !dir.empty() && std::system(assets.c_str()) == 0 && std::system(compose.c_str()) == 0;
}

const std::string& GeneratedData() {
  static const std::string dir = [] {
    std::string d = MakeTempDir();
    return GenerateInto(d) ? d : std::string();
  }();
  return dir;
}
