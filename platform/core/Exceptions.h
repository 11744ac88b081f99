#pragma once
// The program's exception family. Every error the program raises derives from
// Exception, which carries a message and an optional help context; the
// application object shows the message (see platform/ui/Application.h), except
// for EAbort, which is silent.

#include <exception>
#include <string>

// Texts of the runtime errors, kept word for word because tests and callers
// compare them.
inline constexpr const char* kReadErrorText = "Read beyond end of file";
inline constexpr const char* kWriteErrorText = "Disk write error";
inline constexpr const char* kRangeErrorText = "Range check error";
inline constexpr const char* kOverflowErrorText = "Arithmetic overflow";
inline constexpr const char* kListIndexErrorText = "List index out of bounds (%d)";
inline constexpr const char* kAbortText = "Operation aborted";
inline constexpr const char* kOutOfMemoryText = "Out of memory";
inline constexpr const char* kUnexpectedErrorText = "Unexpected error encountered.";
inline constexpr int kUnexpectedErrorHelpContext = 4523;

class Exception : public std::exception {
 public:
  explicit Exception(std::string message, int helpContext = 0)
      : message_(std::move(message)), helpContext_(helpContext) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }
  int HelpContext() const noexcept { return helpContext_; }

 private:
  std::string message_;
  int helpContext_;
};

// A failed or short block transfer on a stream or file.
class EInOutError : public Exception {
 public:
  explicit EInOutError(std::string message = kReadErrorText, int errorCode = 0)
      : Exception(std::move(message)), errorCode_(errorCode) {}
  int ErrorCode() const noexcept { return errorCode_; }

 private:
  int errorCode_;
};

class ERangeError : public Exception {
 public:
  explicit ERangeError(std::string message = kRangeErrorText) : Exception(std::move(message)) {}
};

// A value that leaves the range of its integer type (for example a coordinate
// beyond 32 bits).
class EIntOverflow : public Exception {
 public:
  explicit EIntOverflow(std::string message = kOverflowErrorText) : Exception(std::move(message)) {}
};

// Text that is not a valid number.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

class EListError : public Exception {
 public:
  using Exception::Exception;
};

class EOutOfMemory : public Exception {
 public:
  explicit EOutOfMemory(std::string message = kOutOfMemoryText) : Exception(std::move(message)) {}
};

// The silent abort: unwinds like any error but is never shown.
class EAbort : public Exception {
 public:
  explicit EAbort(std::string message = kAbortText) : Exception(std::move(message)) {}
};

// Raises EAbort.
[[noreturn]] void Abort();
