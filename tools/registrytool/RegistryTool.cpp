#include "RegistryTool.h"

#include "platform/classes/RegistryFormat.h"
#include "platform/classes/RegistryStore.h"
#include "platform/core/Exceptions.h"

namespace {
constexpr const char* kUsage =
    "usage: registrytool [--file FILE] list [KEY]\n"
    "       registrytool [--file FILE] get KEY NAME\n"
    "       registrytool [--file FILE] set KEY NAME TYPE:DATA\n"
    "       registrytool [--file FILE] delete KEY [NAME]\n"
    "       registrytool [--file FILE] options CLASS\n"
    "TYPE:DATA: sz:\"text\" (or sz:text), expand_sz:\"text\", dword:42, binary:0a0b, multi_sz:\"a\",\"b\"\n";

enum { kDone = 0, kMissing = 1, kBadArguments = 2, kWriteFailed = 3 };

// sz and expand_sz also take their text as it is, without quotes.
bool ParseData(const std::string& text, TRegValue& value, std::string& error) {
  for (const auto& [prefix, type] : {std::pair{"sz:", REG_SZ}, std::pair{"expand_sz:", REG_EXPAND_SZ}}) {
    const std::string_view p(prefix);
    if (text.starts_with(p) && !text.substr(p.size()).starts_with('"')) {
      value.Type = type;
      value.Data = StringData(text.substr(p.size()));
      return true;
    }
  }
  return ParseValueData(text, value, error);
}

class TTool {
 public:
  TTool(TRegistryStore& store, std::string& out, std::string& err) : store_(store), out_(out), err_(err) {}

  int List(const std::vector<std::string>& key, const std::string& path) {
    bool found = false;
    store_.Read([&](const TRegKeyNode& root) {
      if (const TRegKeyNode* node = root.Find(key)) {
        found = true;
        out_ += KeyText(*node, path);
      }
    });
    return found ? kDone : Missing("no key \"" + path + "\"");
  }

  int Get(const std::vector<std::string>& key, const std::string& name) {
    std::string text;
    store_.Read([&](const TRegKeyNode& root) {
      const TRegKeyNode* node = root.Find(key);
      if (const TRegValue* value = node ? node->FindValue(name) : nullptr) text = ValueDataText(*value) + "\n";
    });
    return text.empty() ? Missing("no value \"" + name + "\"") : (out_ += text, kDone);
  }

  int Set(const std::vector<std::string>& key, TRegValue value) {
    store_.Change([&](TRegKeyNode& root) {
      root.FindOrAdd(key).SetValue(std::move(value));
      return true;
    });
    return kDone;
  }

  int Delete(const std::vector<std::string>& key, const std::string* name) {
    const bool deleted = store_.Change([&](TRegKeyNode& root) {
      if (name) {
        TRegKeyNode* node = root.Find(key);
        return node && node->RemoveValue(*name);
      }
      std::vector<std::string> parent(key.begin(), key.end() - 1);
      TRegKeyNode* node = root.Find(parent);
      return node && node->RemoveSubKey(key.back());
    });
    return deleted ? kDone : Missing(name ? "no value \"" + *name + "\"" : "no such key");
  }

 private:
  int Missing(const std::string& what) {
    err_ += "registrytool: " + what + "\n";
    return kMissing;
  }

  TRegistryStore& store_;
  std::string& out_;
  std::string& err_;
};

int Usage(std::string& err, const std::string& problem = {}) {
  if (!problem.empty()) err += "registrytool: " + problem + "\n";
  err += kUsage;
  return kBadArguments;
}
}  // namespace

int RunRegistryTool(const std::vector<std::string>& Args, std::string& Out, std::string& Err) {
  std::vector<std::string> args = Args;
  std::string fileName = RegistryFileName();
  if (args.size() >= 2 && args[0] == "--file") {
    fileName = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage(Err);
  const std::string command = args[0];
  if (command == "options" && args.size() == 2) return ShowOptions(fileName, args[1], Out, Err);
  const std::string path = args.size() > 1 ? args[1] : "";
  std::vector<std::string> key;
  if (!SplitKeyPath(path.starts_with('\\') ? path.substr(1) : path, key)) return Usage(Err, "invalid key path");
  const size_t count = args.size();
  TRegistryStore& store = RegistryStoreFor(fileName);
  if (const std::string problem = store.LoadError(); !problem.empty()) Err += "registrytool: " + problem + "\n";
  TTool tool(store, Out, Err);
  try {
    if (command == "list" && count <= 2) return tool.List(key, JoinKeyPath(key));
    if (command == "get" && count == 3) return tool.Get(key, args[2]);
    if (command == "set" && count == 4) {
      TRegValue value{args[2], REG_BINARY, ""};
      std::string error;
      if (!IsValidValueName(value.Name) || !ParseData(args[3], value, error)) return Usage(Err, "bad value: " + error);
      return tool.Set(key, std::move(value));
    }
    if (command == "delete" && count == 3) return tool.Delete(key, &args[2]);
    if (command == "delete" && count == 2 && !key.empty()) return tool.Delete(key, nullptr);
  } catch (const EInOutError& e) {
    Err += "registrytool: " + e.Message() + "\n";
    return kWriteFailed;
  }
  return Usage(Err);
}
