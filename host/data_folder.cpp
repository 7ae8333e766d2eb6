// data_folder.cpp — finds the folder that holds qm7.dat and qm7.it (see
// data_folder.h).
#include "host/data_folder.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

// Absolute and without "." or ".." parts, so the same folder reached two
// ways is listed once; symbolic links are left as they are.
std::string Normalised(const std::string& folder) {
  std::error_code error;
  fs::path full = fs::absolute(folder, error);
  if (error) full = folder;
  std::string text = full.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

std::vector<std::string> DataFolderCandidates(const std::string& workingDir,
                                              const std::string& programDir,
                                              const std::string& builtInstallDir) {
  std::vector<std::string> places;
  auto add = [&](const std::string& folder) {
    if (folder.empty()) return;
    std::string normal = Normalised(folder);
    for (const std::string& seen : places)
      if (seen == normal) return;
    places.push_back(normal);
  };
  add(workingDir);
  add(programDir);
  if (!programDir.empty()) add((fs::path(programDir) / ".." / "share" / "qm7").string());
  add(builtInstallDir);
  return places;
}

bool HoldsDemoData(const std::string& folder) {
  const fs::path dir(folder);
  return IsFile(dir / "qm7.it") && (IsFile(dir / "qm7.dat") || IsFile(dir / "brisk.bin"));
}

DataFolderSearch FindDataFolder(const std::vector<std::string>& candidates) {
  DataFolderSearch search;
  for (const std::string& folder : candidates) {
    search.lookedIn.push_back(folder);
    if (HoldsDemoData(folder)) {
      search.found = true;
      search.folder = folder;
      break;
    }
  }
  return search;
}

std::string DescribeDataSearch(const DataFolderSearch& search) {
  std::string text = "qm7.dat and qm7.it were looked for in: ";
  for (std::size_t i = 0; i < search.lookedIn.size(); ++i) {
    if (i) text += ", ";
    text += search.lookedIn[i];
  }
  return text;
}
