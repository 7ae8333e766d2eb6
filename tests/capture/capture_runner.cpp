// capture_runner.cpp — spawning the tool and reading its files.
#include "tests/capture/capture_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

ToolResult RunCapture(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                      bool withData, const std::vector<std::string>& env) {
  std::vector<std::string> all = {QM7_CAPTURE_PROGRAM};
  if (withData) {
    all.push_back("--data");
    all.push_back(QM7_DATA_DIR);
  }
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envCopy = env;
  std::vector<char*> envp;
  for (std::string& e : envCopy) envp.push_back(e.data());
  envp.push_back(nullptr);

  std::string outPath = (scratch / "tool.out").string();
  std::string errPath = (scratch / "tool.err").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(),
                          env.empty() ? environ : envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ToolResult result;
  if (error) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return result;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadBytes(outPath);
  result.err = ReadBytes(errPath);
  return result;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<TraceLine> ReadTrace(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "pass\torder\trow\tscene\tevent\tticks\thash");
  std::vector<TraceLine> lines;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    TraceLine t;
    fields >> t.pass >> t.order >> t.row >> t.scene >> t.event >> t.ticks >> t.hash;
    EXPECT_TRUE(fields && t.hash.size() == 16) << "bad trace line: " << line;
    lines.push_back(t);
  }
  return lines;
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

int64_t WavFrames(const std::filesystem::path& path) {
  std::string bytes = ReadBytes(path);
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") || bytes.compare(36, 4, "data")) return -1;
  auto u32 = [&](std::size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
  };
  uint32_t dataBytes = u32(40);
  EXPECT_EQ(dataBytes + 44, bytes.size()) << "WAV header and file length disagree";
  return dataBytes / 4;
}

void CaptureTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qm7-capture-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  dir_ = pattern;
}

void CaptureTest::TearDown() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}
