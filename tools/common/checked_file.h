// checked_file.h — writes a file that is either complete or absent: the
// bytes go to NAME.part beside the target, every write and the final flush
// and close are checked, and only a file written to the end is renamed to
// NAME. Used by the pack and capture tools and the PNG writer.
//
//   CheckedFile f;
//   if (!OpenChecked(&f, "run.wav")) -> f.error: "cannot write run.wav.part: <reason>"
//   WriteChecked(&f, bytes, size);   // false once anything failed; later calls do nothing
//   SeekChecked(&f, 0);              // back to patch a header
//   if (!CommitChecked(&f)) -> f.error, the temporary is removed
//   DiscardChecked(&f);              // any other way out: nothing is left behind
//
//   std::string error;
//   if (!WriteFileChecked("frame.bgra", bytes, size, &error)) -> error
//
// A target that exists and is not a regular file (/dev/stdout, /dev/null, a
// pipe) is written in place: it cannot be replaced by a rename, and nothing
// is removed when writing fails. `error` always names the file the system
// refused and gives the system's reason.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

struct CheckedFile {
  std::string path;       // the target
  std::string partPath;   // where the bytes go until the commit (== path in place)
  std::FILE* file = nullptr;
  bool inPlace = false;   // the target is not a regular file
  bool failed = false;
  std::string error;      // set when failed
};

// Creates the temporary `path` + `suffix` (the target itself when in place).
bool OpenChecked(CheckedFile* f, const std::string& path, const char* suffix = ".part");

bool WriteChecked(CheckedFile* f, const void* bytes, std::size_t size);

// Moves the write position to `offset` bytes from the start.
bool SeekChecked(CheckedFile* f, long offset);

// Flushes and closes, keeping the temporary (a caller that hands it to
// another program); on failure the temporary is removed.
bool FinishChecked(CheckedFile* f);

// Finishes (unless done already), then renames the temporary to the target.
bool CommitChecked(CheckedFile* f);

// Closes without checking and removes the temporary; harmless when nothing
// is open or the file was committed.
void DiscardChecked(CheckedFile* f);

// The whole file at once: open, write, commit; false with `error` set.
bool WriteFileChecked(const std::string& path, const void* bytes, std::size_t size,
                      std::string* error);

// Renames `from` to `to`, replacing `to`; false with "cannot write TO: reason".
bool ReplaceFile(const std::string& from, const std::string& to, std::string* error);

// True when `path` exists and is not a regular file (a device, a pipe).
bool IsSpecialFile(const std::string& path);
