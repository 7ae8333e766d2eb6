// checked_file.cpp — files written beside their target and renamed when
// complete; see checked_file.h.
#include "tools/common/checked_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

bool Fail(CheckedFile* f, int code) {
  if (!f->failed) f->error = "cannot write " + f->partPath + ": " + std::strerror(code);
  f->failed = true;
  return false;
}

// Closes the stream (if open) and removes the temporary.
void Drop(CheckedFile* f) {
  if (f->file) std::fclose(f->file);
  f->file = nullptr;
  if (!f->inPlace && !f->partPath.empty()) std::remove(f->partPath.c_str());
}

}  // namespace

bool IsSpecialFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::file_status status = std::filesystem::status(path, ignored);
  return std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

bool OpenChecked(CheckedFile* f, const std::string& path, const char* suffix) {
  *f = CheckedFile{};
  f->path = path;
  f->inPlace = IsSpecialFile(path);
  f->partPath = f->inPlace ? path : path + suffix;
  f->file = std::fopen(f->partPath.c_str(), "wb");
  if (!f->file) {
    Fail(f, errno);
    f->partPath.clear();  // nothing of ours to remove
    return false;
  }
  return true;
}

bool WriteChecked(CheckedFile* f, const void* bytes, std::size_t size) {
  if (f->failed || !f->file) return false;
  // Some C libraries report a failed flush of the buffer only in ferror.
  errno = 0;
  if ((size && std::fwrite(bytes, 1, size, f->file) != size) || std::ferror(f->file)) {
    Fail(f, errno ? errno : EIO);
    Drop(f);
    return false;
  }
  return true;
}

bool SeekChecked(CheckedFile* f, long offset) {
  if (f->failed || !f->file) return false;
  if (std::fseek(f->file, offset, SEEK_SET) != 0) {
    Fail(f, errno);
    Drop(f);
    return false;
  }
  return true;
}

bool FinishChecked(CheckedFile* f) {
  if (f->failed || !f->file) return false;
  // An error may surface only when the buffer is flushed or the file closed.
  int code = 0;
  errno = 0;
  if (std::fflush(f->file) != 0 || std::ferror(f->file)) code = errno ? errno : EIO;
  errno = 0;
  if (std::fclose(f->file) != 0 && !code) code = errno ? errno : EIO;
  f->file = nullptr;
  if (code) {
    Fail(f, code);
    Drop(f);
    return false;
  }
  return true;
}

bool CommitChecked(CheckedFile* f) {
  if (f->file && !FinishChecked(f)) return false;
  if (f->failed || f->partPath.empty()) return false;
  if (!f->inPlace && !ReplaceFile(f->partPath, f->path, &f->error)) {
    f->failed = true;
    Drop(f);
    return false;
  }
  f->partPath.clear();  // nothing left to remove
  return true;
}

void DiscardChecked(CheckedFile* f) {
  Drop(f);
  f->partPath.clear();
}

bool WriteFileChecked(const std::string& path, const void* bytes, std::size_t size,
                      std::string* error) {
  CheckedFile f;
  if (OpenChecked(&f, path) && WriteChecked(&f, bytes, size) && CommitChecked(&f)) return true;
  *error = f.error;
  DiscardChecked(&f);
  return false;
}

bool ReplaceFile(const std::string& from, const std::string& to, std::string* error) {
  // std::filesystem::rename replaces an existing target on every system.
  std::error_code code;
  std::filesystem::rename(from, to, code);
  if (!code) return true;
  *error = "cannot write " + to + ": " + code.message();
  return false;
}
