// program_run.cpp — child processes with a time limit.
#include "tests/support/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

ProgramResult RunProgram(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                         double timeLimitSeconds, const std::vector<std::string>& env) {
  std::vector<std::string> copy = args, envCopy = env;
  std::vector<char*> argv, envp;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : envCopy) envp.push_back(e.data());
  envp.push_back(nullptr);

  const std::string outPath = (scratch / "program.out").string();
  const std::string errPath = (scratch / "program.err").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(),
                                  env.empty() ? environ : envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ProgramResult result;
  if (error != 0) {
    result.err = "cannot start " + args[0];
    return result;
  }

  // Poll rather than block, so a hung child can be killed at the limit.
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(static_cast<long long>(timeLimitSeconds * 1000));
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!result.timedOut && WIFEXITED(status)) {
    result.exited = true;
    result.status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  result.out = ReadWholeFile(outPath);
  result.err = ReadWholeFile(errPath);
  return result;
}

std::string ProgramResult::Describe() const {
  std::ostringstream text;
  if (timedOut)
    text << "hung: killed at the time limit";
  else if (exited)
    text << "exit " << status;
  else
    text << "killed by signal " << signal;
  std::string tail = err.size() > 2000 ? "..." + err.substr(err.size() - 2000) : err;
  text << "\n--- standard error:\n" << tail;
  return text.str();
}

bool ProgramResult::SanitizerReported() const {
  return err.find("Sanitizer") != std::string::npos || err.find("runtime error:") != std::string::npos;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}
