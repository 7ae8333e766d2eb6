// program_run.cpp — child processes with a time limit.
#include "tests/support/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

ProgramResult RunProgram(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                         double timeLimitSeconds, const RunOptions& options) {
  // Everything the child needs is made before the fork: after it, the child
  // only makes system calls.
  std::vector<std::string> copy = args, envCopy = options.env;
  std::vector<char*> argv, envp;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : envCopy) envp.push_back(e.data());
  envp.push_back(nullptr);
  const char* path = std::getenv("PATH");
  const std::string prefixedPath = options.pathPrefix + ":" + (path ? path : "");
  const std::string outPath = (scratch / "program.out").string();
  const std::string errPath = (scratch / "program.err").string();

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (options.fileSizeLimit) {
      rlimit limit{options.fileSizeLimit, options.fileSizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
      signal(SIGXFSZ, SIG_IGN);
    }
    if (!options.pathPrefix.empty()) setenv("PATH", prefixedPath.c_str(), 1);
    if (options.env.empty())
      execv(argv[0], argv.data());
    else
      execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  ProgramResult result;
  if (pid < 0) {
    result.err = "cannot start " + args[0];
    return result;
  }

  // Poll rather than block, so a hung child can be killed at the limit.
  const auto deadline =
      start + std::chrono::milliseconds(static_cast<long long>(timeLimitSeconds * 1000));
  Clock::time_point signalled;
  bool sent = false;
  int status = 0;
  for (;;) {
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    if (Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.timedOut = true;
      break;
    }
    if (!sent && options.signalWhen) {
      if (const int signal = options.signalWhen(); signal != 0) {
        kill(pid, signal);
        signalled = Clock::now();
        sent = true;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const auto end = Clock::now();
  result.seconds = std::chrono::duration<double>(end - start).count();
  if (sent) result.afterSignal = std::chrono::duration<double>(end - signalled).count();
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
