#pragma once
// What every debug-information fuzz target checks after a load: the tables
// are sorted for the lookups, and lookups over the loaded range stay inside.
#include <cstdlib>

#include "crashreport/zorMapFile.h"

namespace zor {

inline ModuleRanges FuzzRanges() { return {0x10000, 0x400000, 0x500000, 0x600000, 0x700000}; }

inline void CheckLoadedTables(TMapFile& map, bool loaded) {
  map.FinishLoading(loaded);
  if (!loaded && (!map.Segments().empty() || !map.Publics().empty() || !map.Lines().empty())) std::abort();
  for (size_t i = 1; i < map.Lines().size(); ++i)
    if (map.Lines()[i - 1].address > map.Lines()[i].address) std::abort();
  for (size_t i = 1; i < map.Publics().size(); ++i)
    if (map.Publics()[i - 1].address > map.Publics()[i].address) std::abort();
  for (const TMfSegment& s : map.Segments()) {
    const TMfSegment found = map.SegmentAt(s.code, s.start);
    if (!found.valid && s.length > 0) std::abort();
  }
  for (const MapLine& l : map.Lines()) {
    uintptr_t next = 0;
    map.LineAt(l.address, next);
    if (next <= l.address && next != 0) std::abort();
    map.PublicAt(l.address);
  }
}

}  // namespace zor
