// data_files.cpp — file and process helpers for the data tests.
#include "tests/data/data_files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "tests/support/scratch_folder.h"

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

namespace {

// Every folder made, removed when the test program exits.
std::vector<std::unique_ptr<ScratchFolder>> AllTempDirs;

}  // namespace

std::string MakeTempDir() {
  AllTempDirs.push_back(std::make_unique<ScratchFolder>());
  return AllTempDirs.back()->path().string();
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
