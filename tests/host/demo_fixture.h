// demo_fixture.h — what the host tests need around RunDemo on the virtual
// platform: a folder with small data files and a tiny module, and a driver
// that steps the virtual clock, renders the audio and posts messages.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/virtual/virtual_platform.h"
#include "tests/host/tiny_module.h"
#include "tests/support/scratch_folder.h"

// A pack with the given files stored uncompressed.
struct PackItem {
  std::string name;
  std::vector<uint8_t> bytes;
};
std::vector<uint8_t> MakePack(const std::vector<PackItem>& items);

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// A fresh temporary folder with the five data files at their listed sizes,
// held in "qm7.dat", and "qm7.it" (53 orders, speed 1, tempo 255: one row
// every 9.8 ms, 33 s in all). The working folder is moved there while the
// object lives.
class DemoFolder {
 public:
  DemoFolder();
  const std::filesystem::path& path() const { return folder_.path(); }
  // Rewrites the pack without `name` (a missing file) or with it cut to `bytes`.
  void WritePack(const std::string& shortName = "", std::size_t shortBytes = 0,
                 bool omit = false);

 private:
  ScratchFolder folder_{ScratchFolder::kWorkIn};
};

// Steps the host's main loop on the virtual platform: every pass advances
// the clock (and the audio) by `passCounts`; `onPass` may post messages.
struct DemoDriver {
  int64_t passCounts = 10000000 / 200;  // 5 ms
  int64_t passes = 0;
  VirtualPass kind = VirtualPass::kPeek;  // of the pass being run
  int64_t maxPasses = 20000;            // then Escape, so a stuck run still ends
  std::function<void(DemoDriver&)> onPass;

  void Install();  // resets the virtual platform and hooks this driver in
};
