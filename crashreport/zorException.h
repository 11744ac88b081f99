#pragma once
// ZorException: the crash reporter's own exception, apart from the class
// library's hierarchy so that the reporter works inside a failing process.
// It carries one message text.
#include <stdexcept>
#include <string>

class ZorException : public std::runtime_error {
 public:
  explicit ZorException(const std::string& message) : std::runtime_error(message) {}
  const std::string Message() const { return what(); }
};

// An abnormal end of the C++ runtime, which the reporter raises itself; a
// message-carrying exception like its base.
class BcbTermination : public ZorException {
 public:
  using ZorException::ZorException;
};
