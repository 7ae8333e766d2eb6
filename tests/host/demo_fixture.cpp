// demo_fixture.cpp — data folder, tiny module and virtual-platform driver
// for the host tests (see demo_fixture.h).
#include "tests/host/demo_fixture.h"

#include "tests/host/tiny_module.h"


#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "host/data_buffers.h"
#include "pack/pack_archive.h"
#include "platform/virtual/virtual_platform.h"

namespace {

std::vector<uint8_t> Pattern6Bit(std::size_t bytes, int seed) {
  std::vector<uint8_t> v(bytes);
  for (std::size_t i = 0; i < bytes; ++i) v[i] = static_cast<uint8_t>((i * 7 + seed) % 64);
  return v;
}

}  // namespace

std::vector<uint8_t> MakePack(const std::vector<PackItem>& items) {
  std::size_t at = kPackDirectoryStart + kPackEntryBytes * items.size();
  std::vector<uint8_t> pack(at, 0);
  Put32(pack, 0, static_cast<uint32_t>(items.size()));
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::size_t e = kPackDirectoryStart + kPackEntryBytes * i;
    std::copy(items[i].name.begin(), items[i].name.end(), pack.begin() + static_cast<std::ptrdiff_t>(e));
    Put32(pack, e + kPackOffsetField, static_cast<uint32_t>(pack.size()));
    Put32(pack, e + kPackStoredField, static_cast<uint32_t>(items[i].bytes.size()));
    Put32(pack, e + kPackUnpackedField, static_cast<uint32_t>(items[i].bytes.size()));
    pack[e + kPackCompressedField] = 0;
    pack.insert(pack.end(), items[i].bytes.begin(), items[i].bytes.end());
  }
  return pack;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

DemoFolder::DemoFolder() {
  WritePack();
  WriteFile(path() / "qm7.it", MakeTinyModule(53, 1, 255));
}

void DemoFolder::WritePack(const std::string& shortName, std::size_t shortBytes, bool omit) {
  std::vector<PackItem> items;
  int seed = 0;
  for (const DataFile& f : kDataFiles) {
    ++seed;
    if (shortName == f.name && omit) continue;
    std::size_t bytes = shortName == f.name ? shortBytes : f.minimumBytes;
    items.push_back({f.name, Pattern6Bit(bytes, seed)});
  }
  WriteFile(path() / "qm7.dat", MakePack(items));
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
