// pack_tool.h — the qm7-pack commands.
//
//   qm7-pack create OUT.dat [--store] FILE...
//       Packs the files under their base names (at most 12 characters, no
//       duplicates, at most 299 files, none named qm7.sum). Each entry is
//       LZW-compressed unless storing it is smaller or --store is given. A
//       last, stored entry, qm7.sum, holds each file's size and CRC-32
//       (pack/pack_sums.h). OUT.dat is replaced only once it has been
//       written completely.
//   qm7-pack list PACK
//       One line per entry: name, offset, stored size, unpacked size, and
//       "lzw" or "stored"; "checksums" marks qm7.sum; "IMPOSSIBLE: <why>"
//       follows when the declared sizes cannot be loaded (data past the end,
//       unpacked size over 64 MiB).
//   qm7-pack extract PACK [NAME...] [-C DIR]
//       Writes the named entries (all but qm7.sum by default; the first of
//       duplicate names) into DIR (default: the current folder). Entries are
//       loaded by the demo's own pack reader, limits included, and, when
//       the pack has a qm7.sum, checked against it as start-up checks them;
//       an entry refused is named on standard error, nothing of it is
//       written, and the exit status is 1. A damaged qm7.sum refuses the
//       whole pack: nothing is written. Each file is written beside its
//       place and renamed. A stream that ends before the unpacked size
//       (but, with checksums, after the packed file's size) is still
//       extracted (the rest is zero) with "decodes to N of the M bytes
//       needed" on standard error.
//   qm7-pack check PACK
//       Loads every entry as extract would, writing nothing. Exit 0 only when
//       every entry loads and decodes to its full unpacked size and, in a
//       pack with qm7.sum, qm7.sum is intact, lists every entry and every
//       entry matches its checksum. A pack without qm7.sum (made before
//       there were checksums) is checked without them.
//
// Exit status: 0 done, 1 a file could not be read or written or the pack is
// damaged (message on standard error), 2 bad command line (usage on standard
// error).
#pragma once
#include <string>
#include <vector>

// args: the command line without the program name.
int RunPackTool(const std::vector<std::string>& args);
