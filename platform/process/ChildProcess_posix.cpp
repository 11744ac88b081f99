#include "platform/process/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

extern char** environ;

namespace {

// One end of a pipe, closed when it goes out of scope.
class Fd {
 public:
  Fd() = default;
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Close(); }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  int Get() const { return fd_; }
  bool Open() const { return fd_ >= 0; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

struct Pipe {
  Fd read;
  Fd write;
};

// Both ends close on exec, so the child inherits only the ends that the spawn
// puts on its descriptors 0, 1 and 2.
void MakePipe(Pipe& pipe) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw ELaunchFailed(kLaunchFailedText + std::to_string(errno));
  pipe.read.Reset(fds[0]);
  pipe.write.Reset(fds[1]);
}

// Releases the spawn attribute objects whatever happens.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  SpawnSetup() { posix_spawn_file_actions_init(&actions); }
  ~SpawnSetup() { posix_spawn_file_actions_destroy(&actions); }
};

// Reads what the pipe holds now into `stream`. Returns false once the pipe is
// at end of file (or broken), so that it is no longer polled.
bool Drain(Fd& pipe, TStream& stream) {
  char buffer[kTransferBufferSize];
  for (;;) {
    const ssize_t n = ::read(pipe.Get(), buffer, sizeof buffer);
    if (n > 0) {
      stream.WriteBuffer(buffer, n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    pipe.Close();
    return false;
  }
}

// Writes as much of the pending input as the pipe takes without blocking.
// SIGPIPE is held back while writing, so a child that has closed its input
// only ends the feeding; a signal raised meanwhile is taken off again.
void Feed(Fd& pipe, TStream& input, std::vector<char>& pending, bool& inputDone) {
  sigset_t pipeSignal, previous;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  bool broken = false;
  for (;;) {
    if (pending.empty() && !inputDone) {
      pending.resize(kTransferBufferSize);
      const int64_t n = input.Read(pending.data(), kTransferBufferSize);
      pending.resize(n > 0 ? static_cast<size_t>(n) : 0);
      if (n < kTransferBufferSize) inputDone = true;
    }
    if (pending.empty()) break;
    const ssize_t written = ::write(pipe.Get(), pending.data(), pending.size());
    if (written > 0) {
      pending.erase(pending.begin(), pending.begin() + written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    broken = true;  // EPIPE: the child will not read any more
    break;
  }
  if (broken) {
    const timespec zero{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &zero) > 0) {
    }
    pending.clear();
    inputDone = true;
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (inputDone && pending.empty()) pipe.Close();
}

// A child still running when an exception leaves the runner is stopped and
// reaped, so that it neither lingers nor stays behind as a zombie.
struct ChildGuard {
  pid_t pid = 0;
  bool reaped = false;
  ~ChildGuard() {
    if (pid <= 0 || reaped) return;
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
};

}  // namespace

int RunChildProcess(const std::vector<std::string>& args, TStream& input, TStream& output, TStream& error) {
  if (args.empty() || args[0].empty()) throw ELaunchFailed(kLaunchFailedText + std::to_string(ENOENT));
  Pipe in, out, err;
  MakePipe(in);
  MakePipe(out);
  MakePipe(err);

  pid_t pid = 0;
  {
    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, in.read.Get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, out.write.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, err.write.Get(), STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // glibc reports a failed exec (missing program, no permission) here.
    const int result = posix_spawnp(&pid, argv[0], &setup.actions, nullptr, argv.data(), environ);
    if (result != 0) throw ELaunchFailed(kLaunchFailedText + std::to_string(result));
  }
  ChildGuard guard{pid};
  in.read.Close();
  out.write.Close();
  err.write.Close();
  for (Fd* fd : {&in.write, &out.read, &err.read}) ::fcntl(fd->Get(), F_SETFL, O_NONBLOCK);

  std::vector<char> pending;
  bool inputDone = false;
  int exitCode = -1;
  while (!guard.reaped) {
    pollfd fds[3];
    nfds_t count = 0;
    if (out.read.Open()) fds[count++] = {out.read.Get(), POLLIN, 0};
    if (err.read.Open()) fds[count++] = {err.read.Get(), POLLIN, 0};
    if (in.write.Open()) fds[count++] = {in.write.Get(), POLLOUT, 0};
    ::poll(fds, count, kPollIntervalMs);
    if (in.write.Open()) Feed(in.write, input, pending, inputDone);
    if (out.read.Open()) Drain(out.read, output);
    if (err.read.Open()) Drain(err.read, error);
    int status = 0;
    pid_t done;
    while ((done = ::waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (done == pid) {
      guard.reaped = true;
      if (WIFEXITED(status)) exitCode = WEXITSTATUS(status);
    } else if (done < 0) {
      guard.reaped = true;  // reaped elsewhere (SIGCHLD ignored): no exit code
    }
  }
  // What the child wrote before it ended is in the pipes now.
  if (out.read.Open()) Drain(out.read, output);
  if (err.read.Open()) Drain(err.read, error);
  return exitCode;
}

namespace {

// Spawn attributes for a detached program: a session of its own, no blocked
// signals and default dispositions, whatever the caller had.
struct DetachedAttributes {
  posix_spawnattr_t attributes;
  DetachedAttributes() {
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~DetachedAttributes() { posix_spawnattr_destroy(&attributes); }
};

}  // namespace

void StartDetached(const std::vector<std::string>& args) {
  if (args.empty() || args[0].empty()) throw ELaunchFailed(kLaunchFailedText + std::to_string(ENOENT));
  // Everything the intermediate needs is built before the fork, so that it
  // only spawns and exits.
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  DetachedAttributes setup;

  const pid_t intermediate = ::fork();
  if (intermediate < 0) throw ELaunchFailed(kLaunchFailedText + std::to_string(errno));
  if (intermediate == 0) {
    pid_t program = 0;
    const int result = posix_spawnp(&program, argv[0], nullptr, &setup.attributes, argv.data(), environ);
    // The spawn error travels back as the exit code (errno values fit).
    _exit(result == 0 ? 0 : (result > 0 && result < 256 ? result : 255));
  }
  int status = 0;
  pid_t done;
  while ((done = ::waitpid(intermediate, &status, 0)) < 0 && errno == EINTR) {
  }
  if (done != intermediate) return;  // reaped elsewhere (SIGCHLD ignored): nothing more to learn
  if (!WIFEXITED(status)) throw ELaunchFailed(kLaunchFailedText + std::to_string(ECHILD));
  if (WEXITSTATUS(status) != 0) throw ELaunchFailed(kLaunchFailedText + std::to_string(WEXITSTATUS(status)));
}
