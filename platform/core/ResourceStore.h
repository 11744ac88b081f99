#pragma once
// The resource store: named blocks of bytes per module, as the class library
// finds resources in its executable and packages.
//
// A resource (module, type, name) is the Qt resource
// ":/res/<module>/<TYPE>/<NAME>"; module, type and name compare without case,
// so "Arrow" finds ":/res/zrbase/BITMAP/ARROW". Tests and code that makes
// resources at run time inject entries, which hide a Qt resource with the
// same key. The modules list gives the order in which a look-up without a
// module searches (the program, then its packages).
//
// Resource strings: each module has one table of numbered strings, the
// resource (module, "STRINGS", "TABLE"), whose UTF-8 lines read
// "<number>=<text>".
//
// One process-wide store (Instance), created on first use; its methods are
// safe to call from any thread.

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ResourceStore {
 public:
  static ResourceStore& Instance();

  // The bytes of the resource, or nothing when the module has none.
  std::optional<std::string> Find(std::string_view Module, std::string_view Type, std::string_view Name) const;
  // Looks through Modules() in order; FoundIn (when given) gets the module
  // that had it.
  std::optional<std::string> Find(std::string_view Type, std::string_view Name, std::string* FoundIn = nullptr) const;

  void AddModule(const std::string& Module);  // at the end, once
  void RemoveModule(std::string_view Module);
  std::vector<std::string> Modules() const;

  // String Id of the module's table; nothing when absent.
  std::optional<std::string> LoadString(std::string_view Module, int Id) const;

  void Inject(std::string Module, std::string Type, std::string Name, std::string Bytes);
  void RemoveInjected(std::string_view Module, std::string_view Type, std::string_view Name);

 private:
  struct Entry {
    std::string module, type, name, bytes;
    bool Is(std::string_view Module, std::string_view Type, std::string_view Name) const;
  };
  const Entry* FindInjected(std::string_view Module, std::string_view Type, std::string_view Name) const;

  mutable std::mutex mutex_;
  std::vector<Entry> injected_;
  std::vector<std::string> modules_;
};
