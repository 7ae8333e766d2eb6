// fuzz_seeds NAME DIR [PACK] — writes a starting corpus for one fuzz target:
// the real pack (when given and present), small well-formed packs with stored
// and compressed entries, one with checksums (qm7.sum), packs with broken
// counts, and LZW streams of a few kinds of data with their exact capacity in
// front.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pack/lzw_encoder.h"
#include "pack/pack_archive.h"
#include "pack/pack_sums.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool Write(const std::string& path, const Bytes& b) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

struct Item {
  const char* name;
  Bytes data;
  bool compress;
};

Bytes MakePack(const std::vector<Item>& items, int32_t count) {
  Bytes pack;
  Put32(pack, static_cast<uint32_t>(count));
  uint32_t offset = static_cast<uint32_t>(kPackDirectoryStart + kPackEntryBytes * items.size());
  Bytes body;
  for (const Item& item : items) {
    Bytes stored = item.compress ? LzwEncode(item.data.data(), item.data.size()) : item.data;
    char name[kPackNameBytes] = {};
    std::strncpy(name, item.name, kPackNameBytes - 1);
    pack.insert(pack.end(), name, name + kPackNameBytes);
    Put32(pack, offset + static_cast<uint32_t>(body.size()));
    Put32(pack, static_cast<uint32_t>(stored.size()));
    Put32(pack, static_cast<uint32_t>(item.data.size()));
    pack.push_back(item.compress ? 1 : 0);
    body.insert(body.end(), stored.begin(), stored.end());
  }
  pack.insert(pack.end(), body.begin(), body.end());
  return pack;
}

Bytes Text(const char* s) { return Bytes(s, s + std::strlen(s)); }

Bytes Pattern(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>((i * i / 7) ^ (i >> 5));
  return b;
}

Bytes Noise(size_t n) {
  Bytes b(n);
  uint32_t s = 12345;
  for (auto& v : b) {
    s = s * 1103515245u + 12345u;
    v = static_cast<uint8_t>(s >> 24);
  }
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: fuzz_seeds NAME DIR [PACK]\n");
    return 2;
  }
  std::string name = argv[1], dir = argv[2];
  std::vector<std::pair<std::string, Bytes>> seeds;
  if (name == "lzw_decode") {
    std::vector<Bytes> inputs = {Text("ABABABA"), Text("a"), Pattern(5000), Noise(3000),
                                 Bytes(70000, 'x'), Text("the rain in the plain in the main")};
    int n = 0;
    for (const Bytes& in : inputs) {
      Bytes s = LzwEncode(in.data(), in.size());
      Bytes seed = {static_cast<uint8_t>(in.size() & 0xFF), static_cast<uint8_t>(in.size() >> 8)};
      seed.insert(seed.end(), s.begin(), s.end());
      seeds.emplace_back("stream" + std::to_string(n++), seed);
    }
    seeds.emplace_back("example", Bytes{7, 0, 0x41, 0x84, 0x08, 0x24, 0x18, 0x10});
  } else {
    std::vector<Item> items = {{"brisk.bin", Pattern(600), true},
                               {"w.pal", Noise(96), false},
                               {"scroll.bin", Bytes(2000, 0), true}};
    seeds.emplace_back("small", MakePack(items, 3));
    seeds.emplace_back("empty", MakePack({}, 0));
    seeds.emplace_back("toomany", MakePack(items, 301));
    seeds.emplace_back("negative", MakePack(items, -1));
    seeds.emplace_back("dup", MakePack({items[0], items[0]}, 2));
    // As qm7-pack create makes them: qm7.sum last, checking the others.
    std::vector<PackSum> sums;
    for (const Item& item : items) sums.push_back(MakePackSum(item.name, item.data.data(), item.data.size()));
    std::vector<Item> summed = items;
    summed.push_back({kPackSumsName, EncodePackSums(sums), false});
    seeds.emplace_back("summed", MakePack(summed, 4));
    if (argc > 3 && argv[3][0]) {
      std::FILE* f = std::fopen(argv[3], "rb");
      if (f) {
        Bytes real;
        uint8_t buf[65536];
        size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) real.insert(real.end(), buf, buf + got);
        std::fclose(f);
        seeds.emplace_back("real", real);
      }
    }
  }
  for (const auto& [file, bytes] : seeds) {
    if (!Write(dir + "/seed-" + file, bytes)) {
      std::fprintf(stderr, "fuzz_seeds: cannot write %s/seed-%s\n", dir.c_str(), file.c_str());
      return 1;
    }
  }
  return 0;
}
