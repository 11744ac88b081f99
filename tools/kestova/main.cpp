// kestova: population-genetics console tool (GENEPOP data in, distances and
// trees or H/Gst out). See popgen/Analysis.h for the command line.

#include <iostream>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "popgen/Analysis.h"

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // The big blocks (the file's text, distance matrices, one per bootstrap
  // thread) come and go once each; mapped on their own, they go back to the
  // system when freed. By default glibc raises this threshold after the first
  // such block is freed and then keeps the later ones in its heap.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  const int code = popgen::RunTool(args, std::cerr);
  std::cerr.flush();
  return code;
}
