// scratch_folder.h — a fresh folder for one test, removed with everything
// in it when the object goes.
//
//   ScratchFolder scratch;                           // /tmp/qm7-test-XXXXXX
//   WriteWholeFile(scratch.path() / "qm7.it", bytes);
//   ScratchFolder here(ScratchFolder::kWorkIn);      // also the working folder
//
// kWorkIn is for code that opens its files by relative names (the pack and
// the host): the working folder is moved there and back again before the
// folder is removed. Header only; used by the data, host, pack, capture and
// hardening tests.
#pragma once
#include <stdlib.h>  // mkdtemp

#include <filesystem>
#include <stdexcept>
#include <string>

class ScratchFolder {
 public:
  enum Use { kBeside, kWorkIn };

  explicit ScratchFolder(Use use = kBeside) {
    std::string pattern = (std::filesystem::temp_directory_path() / "qm7-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
    if (use == kWorkIn) {
      previous_ = std::filesystem::current_path();
      std::filesystem::current_path(path_);
    }
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!previous_.empty()) std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;  // the working folder before, with kWorkIn
};
