// demo_fixture.cpp — data folder, tiny module and virtual-platform driver
// for the host tests (see demo_fixture.h).
#include "tests/host/demo_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "host/data_buffers.h"
#include "platform/virtual/virtual_platform.h"

namespace {

void Put16(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}
void Put32(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
  Put16(v, at, x & 0xFFFF);
  Put16(v, at + 2, x >> 16);
}

std::vector<uint8_t> Pattern6Bit(std::size_t bytes, int seed) {
  std::vector<uint8_t> v(bytes);
  for (std::size_t i = 0; i < bytes; ++i) v[i] = static_cast<uint8_t>((i * 7 + seed) % 64);
  return v;
}

}  // namespace

std::vector<uint8_t> MakeTinyModule(int orders, int speed, int tempo) {
  const std::size_t header = 0xC0;
  const std::size_t orderBytes = static_cast<std::size_t>(orders) + 1;  // + end marker
  const std::size_t sampleOffsetAt = header + orderBytes;
  const std::size_t patternOffsetAt = sampleOffsetAt + 4;
  const std::size_t sampleHeaderAt = patternOffsetAt + 4;
  const std::size_t sampleDataAt = sampleHeaderAt + 0x50;
  const std::size_t sampleLength = 64;
  const std::size_t patternAt = sampleDataAt + sampleLength;
  // Row 0: channel 1 plays C-5 with sample 1; rows 1..63 are empty.
  const std::vector<uint8_t> rows = [] {
    std::vector<uint8_t> r = {0x81, 0x03, 60, 1, 0};
    r.insert(r.end(), 63, 0);
    return r;
  }();
  std::vector<uint8_t> m(patternAt + 8 + rows.size(), 0);

  std::copy_n("IMPM", 4, m.begin());
  std::copy_n("qm7 test module", 15, m.begin() + 4);
  Put16(m, 0x20, static_cast<uint32_t>(orderBytes));
  Put16(m, 0x22, 0);  // instruments
  Put16(m, 0x24, 1);  // samples
  Put16(m, 0x26, 1);  // patterns
  Put16(m, 0x28, 0x0214);
  Put16(m, 0x2A, 0x0214);
  Put16(m, 0x2C, 1 | 8);  // stereo, linear slides
  m[0x30] = 128;          // global volume
  m[0x31] = 48;           // mixing volume
  m[0x32] = static_cast<uint8_t>(speed);
  m[0x33] = static_cast<uint8_t>(tempo);
  m[0x34] = 128;
  for (int c = 0; c < 64; ++c) {
    m[0x40 + c] = c < 4 ? 32 : 32 + 128;  // four channels on, centred
    m[0x80 + c] = 64;
  }
  for (int o = 0; o < orders; ++o) m[header + o] = 0;
  m[header + orders] = 255;
  Put32(m, sampleOffsetAt, static_cast<uint32_t>(sampleHeaderAt));
  Put32(m, patternOffsetAt, static_cast<uint32_t>(patternAt));

  std::size_t s = sampleHeaderAt;
  std::copy_n("IMPS", 4, m.begin() + s);
  m[s + 0x11] = 64;        // global volume
  m[s + 0x12] = 1 | 16;    // present, looped, 8-bit
  m[s + 0x13] = 64;        // volume
  m[s + 0x2E] = 1;         // signed samples
  m[s + 0x2F] = 32;        // default pan
  Put32(m, s + 0x30, static_cast<uint32_t>(sampleLength));
  Put32(m, s + 0x34, 0);
  Put32(m, s + 0x38, static_cast<uint32_t>(sampleLength));
  Put32(m, s + 0x3C, 8363 * 4);
  Put32(m, s + 0x48, static_cast<uint32_t>(sampleDataAt));
  for (std::size_t i = 0; i < sampleLength; ++i)
    m[sampleDataAt + i] = static_cast<uint8_t>(i < sampleLength / 2 ? 48 : -48);

  Put16(m, patternAt, static_cast<uint32_t>(rows.size()));
  Put16(m, patternAt + 2, 64);
  std::copy(rows.begin(), rows.end(), m.begin() + static_cast<std::ptrdiff_t>(patternAt + 8));
  return m;
}

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
