// The walk's last phases: the final lines with their names, and the text
// with its checksums.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cinttypes>
#include <cstdio>

#include "crashreport/zorStackTrace.h"
#include "crashreport/zorStackTraceWalk_p.h"
#include "crashreport/zorStackTrace_p.h"
#include "crashreport/zorZip.h"

namespace zor {
using namespace stacktrace;

namespace {

std::atomic<uintptr_t> reporterSignalHandler{0};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char ch) { return std::tolower(ch); });
  return text;
}

std::string Padded(const std::string& text, size_t width, bool right) {
  if (text.size() >= width) return text;
  return right ? std::string(width - text.size(), ' ') + text : text + std::string(width - text.size(), ' ');
}

}  // namespace

void SetReporterSignalHandler(uintptr_t entry) { reporterSignalHandler = entry; }

bool IsSignalTrampoline(uintptr_t address) {
  static constexpr uint8_t kBytes[] = {0x48, 0xC7, 0xC0, 0x0F, 0x00, 0x00, 0x00, 0x0F, 0x05};
  uint8_t bytes[sizeof kBytes];
  return SafeRead(reinterpret_cast<const void*>(address), bytes, sizeof bytes) &&
         std::equal(bytes, bytes + sizeof bytes, kBytes);
}

void Walker::FillFinalOutput() {
  bool first = true, cppHidden = false, handlerHidden = false;
  for (size_t k = items.size(); k-- > 0;) {
    CheckAbort();
    Item& item = items[k];
    if (item.hidden) continue;
    // The call site of an approved function first, then any call site
    // known, then the call that leads to the chosen newer item.
    item.codeAddress = 0;
    for (const Link& link : item.Older())
      if (Usable(link.function)) {
        item.codeAddress = link.codeAddress;
        item.functionName = FunctionAt(link.function).name;
        item.entry = FunctionAt(link.function).info.entryPoint;
        break;
      }
    for (const Link& link : item.Older())
      if (item.codeAddress == 0 && link.codeAddress != 0) item.codeAddress = link.codeAddress;
    const LinkList& newer = item.lists[kTowardsNewer];
    if (item.codeAddress == 0 && newer.best >= 0) item.codeAddress = newer.links[size_t(newer.best)].codeAddress;
    if (item.codeAddress == 0) item.codeAddress = item.address;
    item.moduleName = "???";
    if (item.module >= 0) {
      const CachedModule& m = ModuleAt(item.module);
      item.moduleName = m.fileName;
      if (m.debug) {
        if (item.functionName.empty()) {
          const TMfPublic& p = m.debug->PublicAt(item.codeAddress);
          if (p.valid) item.functionName = p.name, item.entry = p.address;
        }
        item.unitName = m.debug->SegmentAt(true, item.codeAddress).unitName;
        uintptr_t next = 0;
        item.line = m.debug->LineAt(item.codeAddress, next);
        if (options.showRelativeLines && item.line > 0 && item.entry != 0) {
          const int32_t firstLine = m.debug->LineAt(item.entry, next);
          if (firstLine > 0) item.absoluteLine = item.line, item.line -= firstLine;
        }
        const std::string note = m.fileName + "|" + m.debug->MinDebugInfo();
        if (!m.debug->MinDebugInfo().empty() &&
            std::none_of(result.minDebugInfo.begin(), result.minDebugInfo.end(),
                         [&](const std::string& s) { return Lower(s) == Lower(note); }))
          result.minDebugInfo.push_back(note);
      }
    }
    if (first) result.codeAddress = item.codeAddress, first = false;
    // A termination through the runtime's throw starts at its caller.
    if (options.cppTermination && !cppHidden &&
        (item.functionName.find("__cxa_throw") != std::string::npos ||
         item.functionName.find("__cxa_rethrow") != std::string::npos)) {
      for (size_t t = k; t < items.size(); ++t) items[t].hidden = true;
      cppHidden = true;
    }
    // The reporter's handler and what it called lie between the interrupted
    // code and the newest item.
    if (options.prepared && addedTop && !handlerHidden && item.entry != 0 && item.entry == reporterSignalHandler) {
      for (size_t t = k; t + 1 < items.size(); ++t) items[t].hidden = true;
      for (size_t t = k; t-- > 0;)
        if (!items[t].hidden && IsSignalTrampoline(items[t].address)) {
          items[t].hidden = true;
          break;
        }
      handlerHidden = true;
    }
  }
}

void Walker::Compose() {
  std::vector<const Item*> printed;
  uintptr_t lastCode = 0;
  for (size_t k = items.size(); k-- > 0;) {
    const Item& item = items[k];
    if (item.hidden) continue;
    const bool special = item.top || (item.creator && k == 0);
    if (!special && (item.functionName.empty() || (item.line <= 0 && options.hideUglyItems))) continue;
    if (!special && !printed.empty() && item.codeAddress == lastCode) continue;
    printed.push_back(&item);
    lastCode = item.codeAddress;
  }
  size_t moduleWidth = 0, unitWidth = 0, lineWidth = 0, absWidth = 0, relWidth = 0;
  bool relative = false;
  auto lineText = [&](const Item* it) {
    if (it->line <= 0) return std::string();
    return (options.showRelativeLines && it->absoluteLine > 0 ? "+" : "") + std::to_string(it->line);
  };
  for (const Item* it : printed) {
    moduleWidth = std::max(moduleWidth, it->moduleName.size() + 1);
    unitWidth = std::max(unitWidth, it->unitName.size() + 1);
    lineWidth = std::max(lineWidth, lineText(it).size());
    if (it->absoluteLine > 0) absWidth = std::max(absWidth, std::to_string(it->absoluteLine).size());
    if (it->entry != 0 && it->entry < it->codeAddress) {
      relative = true;
      char hex[24];
      relWidth = std::max(relWidth, size_t(std::snprintf(hex, sizeof hex, "%" PRIxPTR, it->codeAddress - it->entry)));
    }
  }
  std::string text;
  bool firstLine = true;
  for (const Item* it : printed) {
    if (!firstLine) text += "\r\n";
    char hex[40];
    std::snprintf(hex, sizeof hex, "%016" PRIxPTR " ", it->codeAddress);
    text += hex;
    if (options.showRelativeAddresses && relative) {
      const uintptr_t distance = it->entry != 0 && it->entry < it->codeAddress ? it->codeAddress - it->entry : 0;
      std::snprintf(hex, sizeof hex, "+%0*" PRIxPTR " ", int(relWidth), distance);
      text += hex;
    }
    text += Padded(it->moduleName, moduleWidth, false) + Padded(it->unitName, unitWidth, false);
    if (options.showRelativeLines)
      text += Padded(it->absoluteLine > 0 ? std::to_string(it->absoluteLine) : "", absWidth, true) + " ";
    text += Padded(lineText(it), lineWidth, true) + " " + it->functionName;

    // Checksums: a line with entry, module and function counts by its
    // distance from the entry and its names, so a load address moves none.
    uint32_t c = uint32_t(it->codeAddress);
    if (it->entry != 0 && it->module >= 0 && !it->functionName.empty()) {
      c = uint32_t(it->codeAddress - it->entry);
      for (const std::string& part : {Lower(it->moduleName), Lower(it->unitName), Lower(it->functionName)})
        if (!part.empty()) c = Crc32Update(c, part.data(), part.size());
    }
    if (firstLine) {
      result.checksum1 = result.checksum2 = c;
      result.hasLines = it->line > 0;
    } else {
      const uint8_t bytes[4] = {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), uint8_t(c >> 24)};
      result.checksum2 = Crc32Update(result.checksum2, bytes, 4);
      result.hasLines = result.hasLines || it->line > 0;
    }
    firstLine = false;
  }
  for (const Item* it : printed)
    if (it->entry != 0 && (it->absoluteLine > 0 || it->line > 0)) {
      result.functionEntry = it->entry, result.functionCodeAddress = it->codeAddress;
      break;
    }
  if (result.functionEntry == 0)
    for (const Item* it : printed)
      if (it->entry != 0) {
        result.functionEntry = it->entry, result.functionCodeAddress = it->codeAddress;
        break;
      }
  result.text = text;
}

}  // namespace zor
