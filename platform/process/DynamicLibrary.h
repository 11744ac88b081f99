#pragma once
// A shared library loaded at run time.
//
// Load(path) opens the library with its symbols resolved at once and kept
// local to it (RTLD_NOW | RTLD_LOCAL); a path without "/" is looked up the way
// the dynamic loader looks up libraries. Symbol(name) finds an exported
// symbol. Unload() closes the library; the destructor does the same.
//
// Failures do not raise: Load answers false and Symbol answers nullptr, and
// LastError() then holds the loader's own text (for instance
// "libnone.so: cannot open shared object file: No such file or directory"),
// so that callers can build their own messages around it. A successful call
// clears LastError().

#include <string>

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;

  // Loads `path`, unloading whatever this object held before.
  bool Load(const std::string& path);
  // The address of the exported symbol, or nullptr (also when nothing is
  // loaded, with LastError() kNotLoadedText).
  void* Symbol(const std::string& name);
  // Closes the library; false, with the loader's text, when closing failed.
  // Nothing happens (true) when nothing is loaded.
  bool Unload();
  bool Loaded() const { return handle_ != nullptr; }
  const std::string& LastError() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

inline constexpr const char* kNotLoadedText = "No library is loaded";
