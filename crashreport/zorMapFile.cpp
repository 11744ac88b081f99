// The tables of a module's debug information: adding, sorting, merging and
// the binary-search lookups.
#include <algorithm>

#include "crashreport/zorMapFile_p.h"
#include "crashreport/zorTools.h"

namespace zor {

std::string_view BaseFileName(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

namespace {

// What the lookups answer for "none".
const TMfSegment kNoSegment;
const TMfPublic kNoPublic;

uint32_t ClampLength(uint64_t length) { return length > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(length); }

bool Contains(const TMfSegment& s, uintptr_t address) { return address >= s.start && address - s.start < s.length; }

}  // namespace

void MapFileBuilder::AddSegment(std::string unit, uintptr_t start, uint64_t length, bool code, bool addBase,
                                bool hasLines) {
  if (addBase) start += code ? map.ranges_.codeBegin : map.ranges_.dataBegin;
  size_t& last = code ? lastCode : lastData;
  auto& segments = map.segments_;
  if (merge && last < segments.size()) {
    TMfSegment& s = segments[last];
    if (EqualNoCase(s.unitName, unit) && start >= s.start && start - s.start <= uint64_t{s.length} + 2) {
      s.length = ClampLength(std::max<uint64_t>(s.length, start - s.start + length));
      s.hasLineNumbers = s.hasLineNumbers || hasLines;
      return;
    }
  }
  segments.push_back({true, code, start, ClampLength(length), std::move(unit), hasLines});
  last = segments.size() - 1;
}

void MapFileBuilder::AddPublic(bool code, std::string name, uintptr_t address, bool addBase, bool unmangle) {
  if (!code && map.skipData_) return;
  // Compiler-generated type symbols.
  if (name.size() >= 6 && name[0] == '@' && name[1] == '$' && name[2] == 'x' && name[4] == '$') return;
  std::string unit;
  if (unmangle) DemangleName(name, unit);
  if (addBase) address += code ? map.ranges_.codeBegin : map.ranges_.dataBegin;
  auto& segments = map.segments_;
  const TMfSegment* holder = nullptr;
  for (const TMfSegment& s : segments)
    if (s.code == code && Contains(s, address)) holder = &s;
  if (td32 && !holder) {
    // Stretch the segment of this kind that starts last before the address,
    // but not into the next one.
    TMfSegment* before = nullptr;
    for (TMfSegment& s : segments)
      if (s.code == code && s.start <= address && (!before || s.start > before->start)) before = &s;
    if (before) {
      uint64_t reach = address - before->start + 1;
      for (const TMfSegment& other : segments)
        if (other.code == code && other.start > before->start)
          reach = std::min<uint64_t>(reach, other.start - before->start);
      if (reach > before->length) before->length = ClampLength(reach);
      if (Contains(*before, address)) holder = before;
    }
    if (!holder && !unit.empty()) {
      segments.push_back({true, code, address, 1, unit, false});
      holder = &segments.back();
    }
  }
  if (holder) {
    if (name == holder->unitName)
      name = "initialization";
    else if (!unit.empty() && !EqualNoCase(unit, holder->unitName))
      name = unit + "." + name;
  }
  map.publics_.push_back({true, code, std::move(name), address});
}

void MapFileBuilder::SortSegments() {
  std::stable_sort(map.segments_.begin(), map.segments_.end(), [](const TMfSegment& a, const TMfSegment& b) {
    if (a.code != b.code) return a.code;
    if (a.start != b.start) return a.start < b.start;
    return a.length > b.length;
  });
  lastCode = lastData = SIZE_MAX;
}

void MapFileBuilder::SortPublics() {
  // Among publics at one address the lookup finds the last; code wins.
  std::stable_sort(map.publics_.begin(), map.publics_.end(), [](const TMfPublic& a, const TMfPublic& b) {
    return a.address != b.address ? a.address < b.address : (!a.code && b.code);
  });
}

void MapFileBuilder::MergeSegments(bool overlapOnly) {
  auto& segments = map.segments_;
  std::vector<TMfSegment> kept;
  kept.reserve(segments.size());
  for (size_t i = 0; i < segments.size(); ++i) {
    TMfSegment s = segments[i];
    const TMfSegment* next = i + 1 < segments.size() ? &segments[i + 1] : nullptr;
    if (s.length == 0 || (next && s.start == next->start)) continue;
    if (!kept.empty()) {
      TMfSegment& prev = kept.back();
      if (prev.code == s.code && s.start > prev.start && (!overlapOnly || prev.start + prev.length >= s.start)) {
        prev.length = ClampLength(s.start - prev.start);
        if (EqualNoCase(prev.unitName, s.unitName)) {
          prev.length = ClampLength(uint64_t{prev.length} + s.length);
          prev.hasLineNumbers = prev.hasLineNumbers || s.hasLineNumbers;
          continue;
        }
      }
    }
    kept.push_back(std::move(s));
  }
  segments = std::move(kept);
  lastCode = lastData = SIZE_MAX;
}

void TMapFile::ClearTables() {
  segments_.clear();
  publics_.clear();
  lines_.clear();
  entryPoint_ = 0;
}

void TMapFile::FinishLoading(bool valid) {
  if (!valid) ClearTables();
  std::stable_sort(lines_.begin(), lines_.end(),
                   [](const MapLine& a, const MapLine& b) { return a.address < b.address; });
  MapFileBuilder b{*this};
  b.SortSegments();
  b.SortPublics();
  valid_ = valid;
}

const TMfSegment& TMapFile::SegmentAt(bool code, uintptr_t address) const {
  // The segments of the kind with the last start at or before the address;
  // among equal starts the longer sorts first, so step back over shorter ones.
  auto it = std::upper_bound(segments_.begin(), segments_.end(), std::pair{code, address},
                             [](const std::pair<bool, uintptr_t>& key, const TMfSegment& s) {
                               if (key.first != s.code) return key.first;
                               return key.second < s.start;
                             });
  if (it == segments_.begin()) return kNoSegment;
  const uintptr_t start = (it - 1)->start;
  while (it != segments_.begin() && (it - 1)->code == code && (it - 1)->start == start) {
    --it;
    if (Contains(*it, address)) return *it;
  }
  return kNoSegment;
}

const TMfPublic& TMapFile::PublicAt(uintptr_t address) const {
  auto it = std::upper_bound(publics_.begin(), publics_.end(), address,
                             [](uintptr_t a, const TMfPublic& p) { return a < p.address; });
  if (it == publics_.begin()) return kNoPublic;
  // Past code end no code public reaches (the last public of all by rule,
  // and a code public followed by data publics as well).
  const bool pastCode = ranges_.codeEnd != 0 && address >= ranges_.codeEnd;
  if (pastCode && (it == publics_.end() || (it - 1)->code)) return kNoPublic;
  return *(it - 1);
}

uintptr_t TMapFile::PublicAddress(bool code, std::string_view unit, bool caseSensitive, std::string_view name) const {
  const auto find = [&](std::string_view unitName) -> uintptr_t {
    for (const TMfPublic& p : publics_) {
      if (p.code != code || !(caseSensitive ? p.name == name : EqualNoCase(p.name, name))) continue;
      for (const TMfSegment& s : segments_)
        if (s.code == code && EqualNoCase(s.unitName, unitName) && p.address >= s.start &&
            p.address - s.start <= s.length)
          return p.address;
    }
    return 0;
  };
  if (const uintptr_t found = find(unit)) return found;
  if (unit.find('.') != std::string_view::npos) return 0;
  for (const char* extension : {".cpp", ".h", ".c"})
    if (const uintptr_t found = find(std::string(unit) + extension)) return found;
  return 0;
}

int32_t TMapFile::LineAt(uintptr_t address, uintptr_t& nextAddress) const {
  nextAddress = address + 1;
  const TMfSegment segment = SegmentAt(true, address);
  if (lines_.empty()) return segment.valid && segment.hasLineNumbers ? -1 : 0;
  auto it = std::upper_bound(lines_.begin(), lines_.end(), address,
                             [](uintptr_t a, const MapLine& l) { return a < l.address; });
  if (it != lines_.end()) nextAddress = it->address;
  if (it == lines_.begin()) return 0;
  if (it == lines_.end() && ranges_.codeEnd != 0 && address >= ranges_.codeEnd) return 0;
  const MapLine& entry = *(it - 1);
  if (!segment.valid || entry.address < segment.start || entry.address - segment.start > segment.length) return 0;
  return entry.line;
}

}  // namespace zor
