// Exception texts, class names from the runtime's type information, and the
// small system services.
#include "crashreport/zorExceptHelpers.h"

#include <cxxabi.h>
#include <fenv.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <exception>
#include <typeinfo>

#include "crashreport/zorDisAsm.h"
#include "crashreport/zorStrings.h"

namespace zor {

std::string SentenceEnd(std::string_view text) {
  size_t keep = text.size();
  while (keep > 0 && (text[keep - 1] == '.' || text[keep - 1] == '!' || text[keep - 1] == '\0')) --keep;
  return std::string(text.substr(0, keep)) + ".";
}

namespace {

// True when `address` lies in read-only data of a loaded module: a loadable
// segment without write or execute access, or one made read-only after
// relocation.
bool InReadOnlyData(uintptr_t address) {
  struct Query {
    uintptr_t address;
    bool found;
  } query{address, false};
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto& q = *static_cast<Query*>(data);
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const ElfW(Phdr)& ph = info->dlpi_phdr[i];
          const uintptr_t low = info->dlpi_addr + ph.p_vaddr;
          if (q.address < low || q.address - low >= ph.p_memsz) continue;
          if ((ph.p_type == PT_LOAD && !(ph.p_flags & (PF_W | PF_X))) || ph.p_type == PT_GNU_RELRO) q.found = true;
        }
        return q.found ? 1 : 0;
      },
      &query);
  return query.found;
}

// The type information of an object, read safely; nullptr when the object
// does not look like one.
const std::type_info* DynamicType(const void* object, ptrdiff_t* offsetToTop = nullptr) {
  uintptr_t vtable = 0;
  if (!object || !SafeRead(object, &vtable, sizeof vtable) || !InReadOnlyData(vtable)) return nullptr;
  const auto* slots = reinterpret_cast<const uintptr_t*>(vtable);
  uintptr_t type = 0;
  ptrdiff_t top = 0;
  if (!SafeRead(slots - 1, &type, sizeof type) || !SafeRead(slots - 2, &top, sizeof top)) return nullptr;
  // The type information is an object of its own, with a name pointer after
  // its virtual table.
  uintptr_t typeVtable = 0, name = 0;
  if (!type || !SafeRead(reinterpret_cast<const void*>(type), &typeVtable, sizeof typeVtable) ||
      !InReadOnlyData(typeVtable) || !SafeRead(reinterpret_cast<const uintptr_t*>(type) + 1, &name, sizeof name))
    return nullptr;
  char text[256];
  size_t n = 0;
  for (; n < sizeof text; ++n) {
    if (!SafeRead(reinterpret_cast<const char*>(name) + n, &text[n], 1)) return nullptr;
    if (text[n] == '\0') break;
    const unsigned char c = static_cast<unsigned char>(text[n]);
    if (c < 0x21 || c > 0x7E) return nullptr;
  }
  if (n == 0 || n == sizeof text) return nullptr;
  if (offsetToTop) *offsetToTop = top;
  return reinterpret_cast<const std::type_info*>(type);
}

std::string NameOf(const std::type_info& type) {
  int status = 0;
  char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
  std::string text = status == 0 && demangled ? demangled : type.name();
  std::free(demangled);
  return UnqualifiedTypeName(text);
}

bool TypeHasName(const std::type_info& type, std::string_view name, int depth) {
  if (depth > 64) return false;
  if (NameOf(type) == name) return true;
  if (const auto* single = dynamic_cast<const abi::__si_class_type_info*>(&type))
    return TypeHasName(*single->__base_type, name, depth + 1);
  if (const auto* multiple = dynamic_cast<const abi::__vmi_class_type_info*>(&type)) {
    for (unsigned i = 0; i < multiple->__base_count; ++i)
      if (TypeHasName(*multiple->__base_info[i].__base_type, name, depth + 1)) return true;
  }
  return false;
}

}  // namespace

std::string UnqualifiedTypeName(std::string_view demangled) {
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < demangled.size(); ++i) {
    const char c = demangled[i];
    if (c == '<' || c == '(')
      ++depth;
    else if ((c == '>' || c == ')') && depth > 0)
      --depth;
    else if (depth == 0 && c == ':' && i + 1 < demangled.size() && demangled[i + 1] == ':')
      start = i + 2;
  }
  return std::string(demangled.substr(start));
}

bool LooksLikeObject(const void* object) { return DynamicType(object) != nullptr; }

bool HasClassName(const void* object, std::string_view name) {
  const std::type_info* type = DynamicType(object);
  return type && TypeHasName(*type, name, 0);
}

std::string ExceptionClassName(const void* object) {
  const std::type_info* type = DynamicType(object);
  return type ? NameOf(*type) : "Unknown";
}

std::string ExceptionMessageText(const void* object) {
  ptrdiff_t top = 0;
  const std::type_info* type = DynamicType(object, &top);
  if (!type) return "Unknown";
  std::string text;
  if (TypeHasName(*type, "ZorException", 0) || TypeHasName(*type, "Exception", 0)) {
    // The same adjustment a handler for std::exception makes.
    void* whole = const_cast<char*>(static_cast<const char*>(object) + top);
    if (typeid(std::exception).__do_catch(type, &whole, 1)) text = static_cast<const std::exception*>(whole)->what();
  } else {
    text = NameOf(*type);
  }
  std::string kept;
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 32 || c == '\r' || c == '\n') kept += c;
  TrimBlanks(kept);
  return kept.empty() ? "Unknown" : kept;
}

void CallFpuInit() { fesetenv(FE_DFL_ENV); }

bool ProcessIsBlocked(int) { return false; }

int64_t MonotonicMilliseconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

uint64_t CurrentSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<uint64_t>(ts.tv_sec) + 11644473600u;
}

std::string ComputerNameText() {
  char name[260] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string FileNamePart(std::string_view path) {
  const size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FilePathPart(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string WithoutExtension(std::string_view path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::string(path);
  return std::string(path.substr(0, dot));
}

}  // namespace zor
