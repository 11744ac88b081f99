// registrytool: the per-user registry file from the command line (see
// RegistryTool.h).
#include <cstdio>
#include <string>
#include <vector>

#include "RegistryTool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string out, err;
  const int code = RunRegistryTool(args, out, err);
  std::fputs(out.c_str(), stdout);
  std::fputs(err.c_str(), stderr);
  return code;
}
