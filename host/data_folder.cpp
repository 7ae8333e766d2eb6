// data_folder.cpp — finds the folder that holds qm7.dat and qm7.it (see
// data_folder.h).
#include "host/data_folder.h"

#include "host/host.h"
#include "platform/program_folder.h"
#include "qm7_build_info.h"

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

bool EnterDataFolder(const std::string& given, std::string* error) {
  static std::string note;  // DataSearchNote points here for the rest of the run
  DataSearchNote = nullptr;
  std::error_code failure;
  if (!given.empty()) {
    fs::current_path(given, failure);
    if (!failure) return true;
    *error = "Can't use the data folder " + given + ": " + failure.message();
    return false;
  }
  const fs::path working = fs::current_path(failure);
  DataFolderSearch search = FindDataFolder(
      DataFolderCandidates(failure ? "." : working.string(), ProgramFolder(), QM7_INSTALLED_DATA_DIR));
  if (!search.found) {
    note = DescribeDataSearch(search);
    DataSearchNote = note.c_str();
  } else if (search.folder != search.lookedIn.front()) {
    fs::current_path(search.folder, failure);
    if (failure) {
      note = DescribeDataSearch(search) + "; " + search.folder + " could not be entered";
      DataSearchNote = note.c_str();
    }
  }
  return true;
}
