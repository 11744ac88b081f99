#include "platform/core/FileNames.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {
size_t ExtensionStart(std::string_view FileName) {
  const size_t dot = FileName.rfind('.');
  const size_t slash = FileName.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return FileName.size();
  return dot;
}
}  // namespace

std::string ExtractFilePath(std::string_view FileName) {
  const size_t slash = FileName.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(FileName.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view FileName) {
  const size_t slash = FileName.rfind('/');
  return std::string(slash == std::string_view::npos ? FileName : FileName.substr(slash + 1));
}

std::string ExtractFileExt(std::string_view FileName) { return std::string(FileName.substr(ExtensionStart(FileName))); }

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension) {
  return std::string(FileName.substr(0, ExtensionStart(FileName))) + std::string(Extension);
}

std::string ExpandFileName(std::string_view FileName) {
  std::string path(FileName);
  if (path.empty() || path[0] != '/') {
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
      if (errno != ERANGE) {
        buffer.assign(1, '\0');  // no current directory: the root stands in
        break;
      }
      buffer.resize(buffer.size() * 2);
    }
    path = std::string(buffer.data()) + "/" + path;
  }
  std::vector<std::string_view> parts;
  std::string_view rest(path);
  while (!rest.empty()) {
    const size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string result;
  for (std::string_view part : parts) result += "/" + std::string(part);
  if (result.empty() || (path.back() == '/' && path.size() > 1)) result += "/";
  return result;
}
