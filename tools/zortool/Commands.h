#pragma once
// One entry per zortool command. Each command reads standard input and writes
// standard output unless its arguments name files; it returns the exit code
// and prints its own usage line on bad arguments.
#include <string>
#include <vector>

using ZorCommand = int (*)(const std::vector<std::string>& args);

struct ZorCommandEntry {
  const char* name;
  const char* usage;
  ZorCommand run;
};
