// kestova: population-genetics console tool (GENEPOP data in, distances and
// trees or H/Gst out). See popgen/Analysis.h for the command line.

#include <iostream>
#include <string>
#include <vector>

#include "popgen/Analysis.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const int code = popgen::RunTool(args, std::cerr);
  std::cerr.flush();
  return code;
}
