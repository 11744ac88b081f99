#pragma once
// Runs a console program to its end with its three standard streams on pipes.
//
// RunChildProcess(args, input, output, error) starts args[0] with the
// arguments args[1..] (an argument vector: nothing is split or quoted again),
// in the current directory and with the current environment. A program name
// holding "/" is a path (relative ones against the current directory); one
// without is looked up in PATH.
//
// - input is read from its position to its end and fed to the child's
//   standard input, which is then closed; an empty input leaves the child at
//   end of input at once. Feeding happens inside the polling loop, so a child
//   that writes before it reads cannot deadlock the runner, and a child that
//   never reads just loses the rest.
// - output and error receive, at their current positions, what the child
//   writes to its standard output and standard error: each only its own
//   bytes, whole and in order, taken in reads of at most kTransferBufferSize.
// - The runner polls every kPollIntervalMs: it takes whatever the pipes hold,
//   notices the child's end, then takes what is still there and returns. It
//   does not wait for end of file, so a grandchild that keeps the pipes open
//   does not hold it up.
// - Returns the child's exit code (0..255), or -1 when the child ended without
//   one (killed by a signal).
// - When the child cannot be started, raises ELaunchFailed with the text
//   kLaunchFailedText followed by the system's error number in decimal
//   (errno: 2 for a program that does not exist, 13 for one that may not be
//   run). Every pipe is closed before the call returns or raises.
//
// Blocks the calling thread until the child ends; there is no time-out.

#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

inline constexpr const char* kLaunchFailedText = "CreateProcess() failed: ";
inline constexpr int kTransferBufferSize = 8192;
inline constexpr int kPollIntervalMs = 20;

// The child could not be started. Carries only its message.
class ELaunchFailed : public Exception {
 public:
  using Exception::Exception;
};

int RunChildProcess(const std::vector<std::string>& args, TStream& input, TStream& output, TStream& error);

// Starts args[0] with the arguments args[1..] (looked up as for
// RunChildProcess) and returns at once, without waiting for it. The program
// runs in a session of its own with default signal handling, and its
// standard streams and current directory are this process's.
//
// It is started through a short-lived intermediate process that is reaped
// here, so the program is never this process's child: it leaves no zombie
// when it ends, whoever waits or not. When it cannot be started, raises
// ELaunchFailed as RunChildProcess does (kLaunchFailedText and errno).
void StartDetached(const std::vector<std::string>& args);
