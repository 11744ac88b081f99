// The registry file line by line: keys, value lines and their continuations.
#include <optional>

#include "platform/classes/RegistryFormat.h"
#include "platform/classes/RegistryFormat_p.h"

namespace {
// A value line waiting for the indented lines that may continue its data.
struct TPendingValue {
  size_t Line = 0;
  TRegKeyNode* Key = nullptr;
  std::string Name;
  std::string Data;  // type:data, continuations joined with blanks
};

class TRegistryReader {
 public:
  TRegistryReader(TRegKeyNode& root, std::string& error) : root_(root), key_(&root), error_(error) {}

  bool Line(size_t number, std::string_view line) {
    line_ = number;
    line = TrimEnd(line);
    if (line.empty()) return true;
    if (IsBlank(line[0])) return Continuation(TrimStart(line));
    if (!Commit()) return false;
    if (line[0] == ';') return true;
    if (line[0] == '[') return Key(line);
    if (line[0] == '"') return Value(line);
    return Fail("a line must be a [key], a \"value\"=..., or a ; comment");
  }

  bool Commit() {
    if (!pending_) return true;
    TRegValue value{std::move(pending_->Name), REG_BINARY, {}};
    std::string error;
    if (!ParseValueData(pending_->Data, value, error)) {
      line_ = pending_->Line;
      return Fail(error);
    }
    pending_->Key->SetValue(std::move(value));
    pending_.reset();
    return true;
  }

 private:
  bool Fail(const std::string& what) {
    error_ = "line " + std::to_string(line_) + ": " + what;
    return false;
  }

  bool Continuation(std::string_view text) {
    if (!pending_ || !pending_->Data.starts_with("binary:")) return Fail("an indented line continues binary data only");
    pending_->Data += ' ';
    pending_->Data += text;
    return true;
  }

  bool Key(std::string_view line) {
    std::vector<std::string> names;
    if (line.size() < 2 || line.back() != ']') return Fail("a key line ends with \"]\"");
    if (!SplitKeyPath(line.substr(1, line.size() - 2), names)) return Fail("invalid key path");
    key_ = &root_.FindOrAdd(names);
    return true;
  }

  bool Value(std::string_view line) {
    std::string name, error;
    if (!ReadQuoted(line, name, error)) return Fail(error);
    if (!IsValidValueName(name)) return Fail("value name too long");
    line = TrimStart(line);
    if (line.empty() || line[0] != '=') return Fail("\"=\" expected after the value name");
    pending_ = TPendingValue{line_, key_, std::move(name), std::string(TrimStart(line.substr(1)))};
    return true;
  }

  TRegKeyNode& root_;
  TRegKeyNode* key_;
  std::string& error_;
  size_t line_ = 0;
  std::optional<TPendingValue> pending_;
};

void AppendKey(std::string& out, const TRegKeyNode& key, const std::string& path) {
  if (!path.empty()) out += "\n[" + path + "]\n";
  for (const TRegValue& value : key.Values()) {
    AppendQuoted(out, value.Name);
    out += '=' + ValueDataText(value) + '\n';
  }
  for (const auto& sub : key.SubKeys()) AppendKey(out, *sub, path.empty() ? sub->Name() : path + '\\' + sub->Name());
}
}  // namespace

bool ParseRegistryText(std::string_view Text, TRegKeyNode& Root, std::string& Error) {
  Root.Clear();
  Error.clear();
  if (Text.empty()) return true;
  TRegistryReader reader(Root, Error);
  size_t number = 0;
  bool ok = true;
  while (ok && !Text.empty()) {
    const size_t end = Text.find('\n');
    const std::string_view line = Text.substr(0, end);
    Text.remove_prefix(end == std::string_view::npos ? Text.size() : end + 1);
    if (++number == 1 && TrimEnd(line) != kRegistrySignature) {
      Error = "line 1: not a registry file (it does not start with \"" + std::string(kRegistrySignature) + "\")";
      ok = false;
    } else if (number > 1) {
      ok = reader.Line(number, line);
    }
  }
  if (ok) ok = reader.Commit();
  if (!ok) Root.Clear();
  return ok;
}

std::string KeyText(const TRegKeyNode& Key, const std::string& Path) {
  std::string out;
  AppendKey(out, Key, Path);
  return out;
}

std::string RegistryText(const TRegKeyNode& Root) {
  return std::string(kRegistrySignature) +
         "\n"
         "; The current user's settings of Kestova. Keys are [paths]; each value is a line\n"
         "; \"name\"=type:data with the types sz and expand_sz (\"text\"), dword (decimal),\n"
         "; binary (hex, continued on indented lines) and multi_sz (\"text\",\"text\").\n" +
         KeyText(Root, "");
}
