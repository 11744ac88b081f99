#pragma once
// Settings resources for the reporter's tests: well-formed ones written by the
// class library's component writer (root class "TZorExcept", name
// "zorExcept"), and hand-made records for the malformed cases.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "crashreport/zorExceptMessages.h"

namespace zortest {

// A property as the writer stores it: an integer in the smallest integer
// type, a Boolean as false/true, a text as a short, long or (non-ASCII)
// UTF-16 string.
struct Property {
  std::string name;
  std::variant<int64_t, bool, std::string> value;
};
std::string WriteSettingsResource(const std::vector<Property>& properties);

// The 25-byte header, one raw record, and the ending zero.
std::string Header();
std::string Record(std::string_view name, uint8_t type, std::string_view valueBytes);
std::string LittleEndian32(uint32_t v);

// The base64 text a settings editor stores for a password.
std::string StoredPassword(std::string_view plain, std::string_view account, std::string_view server);

// Records the reporter's messages while it lives.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;
  std::vector<std::string> texts;

 private:
  zor::ReporterMessageSink previous_;
};

}  // namespace zortest
