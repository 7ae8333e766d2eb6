// qm7-compose — writes the demo's music module.
//
//   qm7-compose OUT.it
//
// The output depends on nothing but this program: the same bytes every run.
// Exit code 0 on success, 1 on a usage or write error.
#include <cstdio>
#include <vector>

#include "tools/compose/it_writer.h"
#include "tools/compose/song.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qm7-compose OUT.it\n");
    return 1;
  }
  std::vector<uint8_t> bytes = WriteItModule(ComposeSong());
  FILE* f = std::fopen(argv[1], "wb");
  if (!f) {
    std::fprintf(stderr, "qm7-compose: cannot write %s\n", argv[1]);
    return 1;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) std::fprintf(stderr, "qm7-compose: write failed for %s\n", argv[1]);
  return ok ? 0 : 1;
}
