#include "platform/process/DynamicLibrary.h"

#include <dlfcn.h>

#include <utility>

namespace {

// dlerror() hands out the last failure once; a null answer means the failing
// call left no text, which the callers still need to see as a failure.
std::string TakeLoaderError() {
  const char* text = ::dlerror();
  return text ? std::string(text) : std::string("Unknown loader error");
}

}  // namespace

DynamicLibrary::~DynamicLibrary() { Unload(); }

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Unload();
    handle_ = std::exchange(other.handle_, nullptr);
    error_ = std::move(other.error_);
  }
  return *this;
}

bool DynamicLibrary::Load(const std::string& path) {
  Unload();
  ::dlerror();
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    error_ = TakeLoaderError();
    return false;
  }
  error_.clear();
  return true;
}

void* DynamicLibrary::Symbol(const std::string& name) {
  if (!handle_) {
    error_ = kNotLoadedText;
    return nullptr;
  }
  // A symbol may legitimately have the address 0, so the error state, not
  // the answer, tells whether the look-up failed.
  ::dlerror();
  void* address = ::dlsym(handle_, name.c_str());
  if (const char* text = ::dlerror()) {
    error_ = text;
    return nullptr;
  }
  error_.clear();
  return address;
}

bool DynamicLibrary::Unload() {
  if (!handle_) return true;
  void* handle = std::exchange(handle_, nullptr);
  ::dlerror();
  if (::dlclose(handle) != 0) {
    error_ = TakeLoaderError();
    return false;
  }
  error_.clear();
  return true;
}
