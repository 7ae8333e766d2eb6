// capture_runner.cpp — running the tool and reading its files.
#include "tests/capture/capture_runner.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>

ToolResult RunCapture(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                      bool withData, const std::vector<std::string>& env) {
  std::vector<std::string> all = {QM7_CAPTURE_PROGRAM};
  if (withData) {
    all.push_back("--data");
    all.push_back(QM7_DATA_DIR);
  }
  all.insert(all.end(), args.begin(), args.end());
  RunOptions options;
  options.env = env;
  const ProgramResult run = RunProgram(all, scratch, 600, options);
  if (!run.exited && run.signal == 0 && !run.timedOut) ADD_FAILURE() << run.err;
  ToolResult result;
  result.status = run.exited ? run.status : -1;
  result.out = run.out;
  result.err = run.err;
  return result;
}

std::string Fnv1aHex(const std::string& bytes) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 0x100000001B3ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string ReadPngBgra(const std::filesystem::path& path, int* width, int* height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_BGRA;
  std::string pixels(PNG_IMAGE_SIZE(image), '\0');
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  return pixels;
}

bool HaveProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

int64_t WavFrames(const std::filesystem::path& path) {
  std::string bytes = ReadWholeFile(path);
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") || bytes.compare(36, 4, "data")) return -1;
  auto u32 = [&](std::size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
  };
  auto u16 = [&](std::size_t at) { return u32(at) & 0xFFFF; };
  EXPECT_EQ(bytes.compare(8, 8, "WAVEfmt "), 0);
  EXPECT_EQ(u16(20), 1u);  // PCM
  EXPECT_EQ(u16(22), 2u);  // stereo
  EXPECT_EQ(u32(24), 44100u);
  EXPECT_EQ(u16(34), 16u);
  uint32_t dataBytes = u32(40);
  EXPECT_EQ(u32(4), dataBytes + 36);
  EXPECT_EQ(dataBytes + 44, bytes.size()) << "WAV header and file length disagree";
  return dataBytes / 4;
}
