// demo_fixture.cpp — data folder, tiny module and virtual-platform driver
// for the host tests (see demo_fixture.h).
#include "tests/host/demo_fixture.h"

#include "tests/host/tiny_module.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "host/data_buffers.h"
#include "platform/virtual/virtual_platform.h"

namespace {

std::vector<uint8_t> Pattern6Bit(std::size_t bytes, int seed) {
  std::vector<uint8_t> v(bytes);
  for (std::size_t i = 0; i < bytes; ++i) v[i] = static_cast<uint8_t>((i * 7 + seed) % 64);
  return v;
}

}  // namespace

std::vector<uint8_t> MakePack(const std::vector<PackItem>& items) {
  std::size_t at = 4 + 26 * items.size();
  std::vector<uint8_t> pack(at, 0);
  Put32(pack, 0, static_cast<uint32_t>(items.size()));
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::size_t e = 4 + 26 * i;
    std::copy(items[i].name.begin(), items[i].name.end(), pack.begin() + static_cast<std::ptrdiff_t>(e));
    Put32(pack, e + 13, static_cast<uint32_t>(pack.size()));
    Put32(pack, e + 17, static_cast<uint32_t>(items[i].bytes.size()));
    Put32(pack, e + 21, static_cast<uint32_t>(items[i].bytes.size()));
    pack[e + 25] = 0;
    pack.insert(pack.end(), items[i].bytes.begin(), items[i].bytes.end());
  }
  return pack;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

DemoFolder::DemoFolder() {
  char name[] = "/tmp/qm7-host-XXXXXX";
  path_ = mkdtemp(name);
  previous_ = std::filesystem::current_path();
  std::filesystem::current_path(path_);
  WritePack();
  WriteFile(path_ / "qm7.it", MakeTinyModule(53, 1, 255));
}

DemoFolder::~DemoFolder() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void DemoFolder::WritePack(const std::string& shortName, std::size_t shortBytes, bool omit) {
  const struct {
    const char* name;
    std::size_t bytes;
  } files[] = {{"brisk.bin", kBriskLogoBytes},
               {"opener7.bin", kOpenerLogoBytes},
               {"wctk.bin", kTextureBytes},
               {"w.pal", kPaletteBytes},
               {"scroll.bin", kScrollPictureMinBytes}};
  std::vector<PackItem> items;
  int seed = 0;
  for (const auto& f : files) {
    ++seed;
    if (shortName == f.name && omit) continue;
    std::size_t bytes = shortName == f.name ? shortBytes : f.bytes;
    items.push_back({f.name, Pattern6Bit(bytes, seed)});
  }
  WriteFile(path_ / "qm7.dat", MakePack(items));
}

namespace {

void DriverPass(VirtualPass kind, void* user) {
  auto& driver = *static_cast<DemoDriver*>(user);
  ++driver.passes;
  driver.kind = kind;
  VirtualAdvance(driver.passCounts);
  if (driver.onPass) driver.onPass(driver);
  if (driver.passes == driver.maxPasses) VirtualPostMessage(WM_KEYDOWN, VK_ESCAPE);
}

}  // namespace

void DemoDriver::Install() {
  VirtualPlatformReset();
  VirtualSetPassHook(DriverPass, this);
}
