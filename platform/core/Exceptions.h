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
inline constexpr const char* kListCapacityErrorText = "List capacity out of bounds (%d)";
inline constexpr const char* kListCountErrorText = "List count out of bounds (%d)";
inline constexpr const char* kDuplicateStringText = "String list does not allow duplicates";
inline constexpr const char* kSortedListErrorText = "Operation not allowed on sorted list";
inline constexpr const char* kAbortText = "Operation aborted";
inline constexpr const char* kOutOfMemoryText = "Out of memory";
inline constexpr const char* kUnexpectedErrorText = "Unexpected error encountered.";
inline constexpr int kUnexpectedErrorHelpContext = 4523;

// Texts of the object model's errors (Format patterns where they hold %).
inline constexpr const char* kAssignErrorText = "Cannot assign a %s to a %s";
inline constexpr const char* kInvalidCastText = "Invalid class typecast";
inline constexpr const char* kAbstractErrorText = "Abstract Error";
inline constexpr const char* kStreamReadErrorText = "Stream read error";
inline constexpr const char* kStreamWriteErrorText = "Stream write error";
inline constexpr const char* kClassNotFoundText = "Class %s not found";
inline constexpr const char* kDuplicateNameText = "A component named %s already exists";
inline constexpr const char* kInvalidNameText = "'%s' is not a valid component name";
inline constexpr const char* kInvalidPropertyValueText = "Invalid property value";
inline constexpr const char* kInvalidVariantCastText = "Invalid variant type conversion";
inline constexpr const char* kOSErrorText = "System Error.  Code: %d.\n%s";
// The component family appends the platform's last error to some messages as
// a second line with this text.
inline constexpr const char* kErrorCodeLineText = "Error code : %d";

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

// A string list refusing a duplicate or a positional change while sorted.
class EStringListError : public EListError {
 public:
  using EListError::EListError;
};

class EOutOfMemory : public Exception {
 public:
  explicit EOutOfMemory(std::string message = kOutOfMemoryText) : Exception(std::move(message)) {}
};

// An operation the object cannot perform in its current state (for example
// "Text exceeds memo capacity").
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// An object that is not of the class an operation requires.
class EInvalidCast : public Exception {
 public:
  explicit EInvalidCast(std::string message = kInvalidCastText) : Exception(std::move(message)) {}
};

// A call of an operation that the object's class leaves to its descendants.
class EAbstractError : public Exception {
 public:
  explicit EAbstractError(std::string message = kAbstractErrorText) : Exception(std::move(message)) {}
};

// Errors of the component stream: reading, writing, and class look-up.
class EFilerError : public Exception {
 public:
  using Exception::Exception;
};

class EReadError : public EFilerError {
 public:
  explicit EReadError(std::string message = kStreamReadErrorText) : EFilerError(std::move(message)) {}
};

class EWriteError : public EFilerError {
 public:
  explicit EWriteError(std::string message = kStreamWriteErrorText) : EFilerError(std::move(message)) {}
};

// Raised with kClassNotFoundText.
class EClassNotFound : public EFilerError {
 public:
  using EFilerError::EFilerError;
};

// A component name that is invalid or already taken (kInvalidNameText,
// kDuplicateNameText).
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

// A text that an INI file cannot hold as it is (a line break in a value).
class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

class EPropertyError : public Exception {
 public:
  explicit EPropertyError(std::string message = kInvalidPropertyValueText) : Exception(std::move(message)) {}
};

class EVariantError : public Exception {
 public:
  explicit EVariantError(std::string message = kInvalidVariantCastText) : Exception(std::move(message)) {}
};

// A failed operating-system call with its error number (kOSErrorText).
class EOSError : public Exception {
 public:
  EOSError(std::string message, int errorCode) : Exception(std::move(message)), errorCode_(errorCode) {}
  int ErrorCode() const noexcept { return errorCode_; }

 private:
  int errorCode_;
};

// The silent abort: unwinds like any error but is never shown.
class EAbort : public Exception {
 public:
  explicit EAbort(std::string message = kAbortText) : Exception(std::move(message)) {}
};

// Raises EAbort.
[[noreturn]] void Abort();
