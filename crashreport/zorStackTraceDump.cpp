// A developer's view of one walk: every item with its flags and links, for
// finding out why a frame is missing from a trace. Written only when
// KESTOVA_STACKWALK_DUMP names a file; the walk appends to it.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "crashreport/zorStackTraceWalk_p.h"
#include "crashreport/zorStackTrace_p.h"

namespace zor {
using namespace stacktrace;

namespace {

std::string FunctionText(int function) {
  if (function < 0) return "?";
  const CachedFunction& f = FunctionAt(function);
  char text[64];
  std::snprintf(text, sizeof text, "@%" PRIxPTR "%s", f.info.entryPoint, f.approved ? "" : "(unapproved)");
  return (f.name.empty() ? std::string("-") : f.name) + text;
}

}  // namespace

void Walker::Dump(const char* stage) const {
  const char* path = std::getenv("KESTOVA_STACKWALK_DUMP");
  if (path == nullptr || *path == 0) return;
  FILE* out = std::fopen(path, "a");
  if (out == nullptr) return;
  std::fprintf(out, "== %s: %zu items, location %" PRIxPTR ", frame pointer %" PRIxPTR "\n", stage, items.size(),
               options.currentLocation, options.framePointer);
  if (options.prepared != nullptr) {
    // The candidates as scanned, newest first, with the export below each.
    const TDAPreStackItem& list = *options.prepared;
    for (size_t i = list.size(); i-- > 1;) {
      const int module = ModuleIndexOf(list[i].address - 1);
      const uintptr_t base = module >= 0 ? ModuleAt(module).base : 0;
      std::fprintf(out, "  candidate %016" PRIxPTR "%s %s+%" PRIxPTR " %s\n", list[i].address,
                   list[i].onFrame ? " frame" : "", module >= 0 ? ModuleAt(module).fileName.c_str() : "???",
                   list[i].address - base, ExportNameAt(list[i].address - 1).c_str());
    }
  }
  for (size_t k = items.size(); k-- > 0;) {
    const Item& item = items[k];
    const std::string module = item.module >= 0 ? ModuleAt(item.module).fileName : "???";
    const uintptr_t base = item.module >= 0 ? ModuleAt(item.module).base : 0;
    std::fprintf(out, "%4zu %016" PRIxPTR " %s+%" PRIxPTR "%s%s%s%s\n", k, item.address, module.c_str(),
                 item.address - base, item.approved ? " approved" : "", item.top ? " top" : "",
                 item.hidden ? " hidden" : "", item.creator ? " creator" : "");
    for (int direction : {kTowardsOlder, kTowardsNewer}) {
      const LinkList& list = item.lists[direction];
      for (size_t i = 0; i < list.links.size(); ++i) {
        const Link& l = list.links[i];
        std::fprintf(out, "       %s%s %4d call %" PRIxPTR " target %" PRIxPTR " %s score %" PRIx64 "\n",
                     direction == kTowardsOlder ? "older" : "newer", int(i) == list.best ? "*" : " ", l.other,
                     l.codeAddress, l.target, FunctionText(l.function).c_str(), l.score);
      }
    }
  }
  std::fclose(out);
}

}  // namespace zor
