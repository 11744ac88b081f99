// Writers of the packed, JDBG and TD32 fixtures.
#include "crashreport/zorMapFileFixtures.h"

#include <cctype>
#include <tuple>

#include "crashreport/zorCrypt.h"
#include "crashreport/zorMapFile.h"
#include "crashreport/zorZip.h"

namespace zormap_test {

const char* const kMapText =
    " Start         Length     Name                   Class\r\n"
    " 0001:00000000 00001234H .text                   CODE\r\n"
    " 0002:00000000 00000100H .itext                  ICODE\r\n"
    " 0003:00000000 00000200H .data                   DATA\r\n"
    "\r\n"
    "Detailed map of segments\r\n"
    "\r\n"
    " 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System   ACBP=A9\r\n"
    " 0001:00000100 00000200 C=CODE     S=.text    G=(none)   M=Unit1    ACBP=A9\r\n"
    " 0002:00000000 00000080 C=ICODE    S=.itext   G=(none)   M=Unit2    ACBP=A9\r\n"
    " 0003:00000000 00000040 C=DATA     S=.data    G=DGROUP   M=Unit1    ACBP=A9\r\n"
    " 0001:00000300 short line\r\n"
    "\r\n"
    "  Address             Publics by Value\r\n"
    "\r\n"
    " 0001:00000000       System.Start\r\n"
    " 0001:00000100       Unit1.Unit1\r\n"
    " 0001:00000140       Unit1.TForm1.Button1Click (Sender)\r\n"
    " 0002:00000010       Unit2.Helper\r\n"
    " 0003:00000010       Unit1.Counter\r\n"
    "\r\n"
    "Line numbers for Unit1(Unit1.pas) segment .text\r\n"
    "\r\n"
    "    10 0001:00000100    11 0001:00000140    12 0001:00000150\r\n"
    "    13 0001:00000250     9 0001:00000240    14 0001:0000x260    15 0001:00000270\r\n"
    "\r\n"
    "Program entry point at 0001:00000010\r\n";

zor::TMapFile Loaded(const std::function<bool(zor::TMapFile&)>& load) {
  zor::TMapFile map;
  map.SetRanges(kRanges);
  map.FinishLoading(load(map));
  return map;
}

void Put16(std::string& out, uint32_t value) {
  for (int i = 0; i < 2; ++i) out += static_cast<char>(value >> (8 * i));
}
void Put32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i));
}

namespace {

void PutCompact(std::string& out, int32_t value) {
  if (value > -128 && value < 128) {
    out += static_cast<char>(static_cast<int8_t>(value));
  } else {
    out += static_cast<char>(0x80);
    Put32(out, static_cast<uint32_t>(value));
  }
}

void PutShort(std::string& out, const std::string& text) {
  out += static_cast<char>(text.size());
  out += text;
}

void PutVarying(std::string& out, uint32_t value) {
  do {
    const uint8_t low = value & 0x7F;
    value >>= 7;
    out += static_cast<char>(low | (value ? 0x80 : 0));
  } while (value);
}

}  // namespace

std::string PackedRecords(const PackedContent& c, bool minimum) {
  std::string out;
  Put32(out, static_cast<uint32_t>(c.segments.size()));
  for (const auto& s : c.segments) {
    Put32(out, s.start);
    Put32(out, s.length);
    if (minimum)
      out += static_cast<char>(s.hasLines);
    else
      PutShort(out, s.unit);
  }
  Put32(out, static_cast<uint32_t>(c.publics.size()));
  for (size_t i = 0; i < c.publics.size(); ++i) {
    if (!minimum) PutShort(out, c.publics[i].first);
    if (i == 0)
      Put32(out, c.publics[i].second);
    else
      PutCompact(out, static_cast<int32_t>(c.publics[i].second - c.publics[i - 1].second));
  }
  Put32(out, static_cast<uint32_t>(c.lines.size()));
  for (size_t i = 0; i < c.lines.size(); ++i) {
    if (i == 0) {
      Put32(out, static_cast<uint32_t>(c.lines[i].first));
      Put32(out, c.lines[i].second);
    } else {
      PutCompact(out, c.lines[i].first - c.lines[i - 1].first);
      PutCompact(out, static_cast<int32_t>(c.lines[i].second - c.lines[i - 1].second));
    }
  }
  if (c.withEntry) Put32(out, c.entry);
  return out;
}

std::string PackedBlock(const PackedContent& content, uint32_t version, uint32_t id1, uint32_t id2, bool minimum) {
  const std::string records = PackedRecords(content, minimum);
  std::string payload;
  Put32(payload, static_cast<uint32_t>(records.size()));
  Put32(payload, 0);
  Put32(payload, Crc32Update(0xFFFFFFFFu, records.data(), records.size()) ^ 0xFFFFFFFFu);
  std::string stream(records.size() * 11 / 10 + 16, '\0');
  stream.resize(DeflateBuffer(records.data(), stream.data(), records.size(), stream.size()));
  payload += stream;
  zor::LegacyEncipher(payload, zor::PackedInfoKey(static_cast<uint32_t>(payload.size())));
  std::string block = "quillon_dbgmap";
  Put32(block, static_cast<uint32_t>(payload.size()));
  Put32(block, version);
  if (version == 3) {
    Put32(block, id1);
    Put32(block, id2);
    Put32(block, minimum ? 1 : 0);
  }
  return block + payload;
}

std::string PackedName(const std::string& name) {
  std::vector<unsigned> values;
  for (char ch : name) {
    if (std::isdigit(static_cast<unsigned char>(ch)))
      values.push_back(static_cast<unsigned>(ch - '0' + 1));
    else if (ch >= 'A' && ch <= 'Z')
      values.push_back(static_cast<unsigned>(ch - 'A' + 11));
    else if (ch >= 'a' && ch <= 'z')
      values.push_back(static_cast<unsigned>(ch - 'a' + 37));
    else
      values.push_back(63);
  }
  values.push_back(0);
  while (values.size() % 4) values.push_back(0);
  std::string out;
  for (size_t i = 0; i < values.size(); i += 4) {
    out += static_cast<char>(values[i] | (values[i + 1] << 6));
    out += static_cast<char>((values[i + 1] >> 2) | (values[i + 2] << 4));
    out += static_cast<char>((values[i + 2] >> 4) | (values[i + 3] << 2));
  }
  return out;
}

std::string JdbgFile(const JdbgContent& c, bool checksum) {
  std::string names;
  const auto nameOffset = [&](const std::string& name) -> uint32_t {
    if (name.empty()) return 0;
    const uint32_t offset = static_cast<uint32_t>(names.size()) + 1;
    bool plain = true;
    const bool at = name.size() > 1 && name[0] == '@';
    for (char ch : name.substr(at ? 1 : 0))
      plain = plain && (std::isalnum(static_cast<unsigned char>(ch)) || ch == '_');
    if (at && plain) {
      names += '\2' + PackedName(name.substr(1));
    } else if (plain && !std::isdigit(static_cast<unsigned char>(name[0]))) {
      names += PackedName(name);
    } else {
      names += '\1';
      for (char ch : name) names += static_cast<char>(static_cast<uint8_t>(ch) == 0xAA ? 0xAA : ch ^ 0xAA);
      names += '\0';
    }
    return offset;
  };
  std::string sources, symbols, lines;
  uint32_t address = 0, name = 0, second = 0;
  for (const auto& [at, file] : c.sources) {
    const uint32_t n = nameOffset(file);
    PutVarying(sources, at - address), PutVarying(sources, n - name);
    address = at, name = n;
  }
  PutVarying(sources, 0x7FFFFFFF);
  address = name = 0;
  for (const auto& s : c.symbols) {
    const uint32_t n1 = nameOffset(s.first), n2 = s.second.empty() ? 0 : nameOffset(s.second);
    PutVarying(symbols, s.address - address), PutVarying(symbols, n1 - name), PutVarying(symbols, n2 - second);
    address = s.address, name = n1, second = n2;
  }
  PutVarying(symbols, 0x7FFFFFFF);
  address = 0;
  uint32_t line = 0;
  for (const auto& [at, l] : c.lines) {
    PutVarying(lines, at - address), PutVarying(lines, l - line);
    address = at, line = l;
  }
  PutVarying(lines, 0x7FFFFFFF);

  const uint32_t sourcesAt = 36, symbolsAt = sourcesAt + static_cast<uint32_t>(sources.size());
  const uint32_t linesAt = symbolsAt + static_cast<uint32_t>(symbols.size());
  const uint32_t namesAt = linesAt + static_cast<uint32_t>(lines.size());
  std::string file = "JDBG";
  file += '\1';
  for (uint32_t v : {0u, sourcesAt, symbolsAt, linesAt, namesAt, 0u, 0u}) Put32(file, v);
  file += static_cast<char>(checksum);
  file += std::string(2, '\0');
  file += sources + symbols + lines + names;
  while (file.size() % 4) file += '\0';
  if (checksum) {
    // With the checksum field zero, the sum of the words is the checksum
    // whose rotated difference the reader expects.
    uint32_t sum = 0;
    for (size_t i = 0; i < file.size(); i += 4)
      sum += static_cast<uint32_t>(static_cast<uint8_t>(file[i])) | static_cast<uint8_t>(file[i + 1]) << 8 |
             static_cast<uint8_t>(file[i + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(file[i + 3])) << 24;
    for (int i = 0; i < 4; ++i) file[29 + i] = static_cast<char>(sum >> (8 * i));
  }
  return file;
}

std::string Td32Block(const Td32Content& c) {
  // Subsections first, the directory after them.
  std::string body;
  std::vector<std::tuple<uint16_t, uint32_t, uint32_t>> entries;
  const auto add = [&](uint16_t type, const std::string& bytes) {
    entries.emplace_back(type, static_cast<uint32_t>(8 + body.size()), static_cast<uint32_t>(bytes.size()));
    body += bytes;
  };
  std::string names;
  Put32(names, static_cast<uint32_t>(c.names.size()));
  for (const auto& n : c.names) names += static_cast<char>(n.size()) + n + '\0';
  add(0x130, names);
  std::string module(28, '\0');
  module[4] = static_cast<char>(c.codeSegments.size());
  for (int i = 0; i < 4; ++i) module[8 + i] = static_cast<char>(c.moduleName >> (8 * i));
  for (const auto& [offset, size] : c.codeSegments) {
    Put16(module, 0), Put16(module, 1), Put32(module, offset), Put32(module, size);
  }
  add(0x120, module);
  if (!c.lines.empty()) {
    // One file with one block of pairs.
    std::string source;
    Put16(source, 1), Put16(source, 1), Put32(source, 4 + 4 + 8 + 2);
    Put32(source, c.lines.front().first), Put32(source, c.lines.back().first), Put16(source, 1);
    const uint32_t blockAt = static_cast<uint32_t>(source.size()) + 4 + 4 + 8 + 4;
    Put16(source, 1), Put16(source, 0), Put32(source, blockAt);
    Put32(source, c.lines.front().first), Put32(source, c.lines.back().first), Put32(source, c.sourceName);
    Put16(source, 1), Put16(source, static_cast<uint32_t>(c.lines.size()));
    for (const auto& l : c.lines) Put32(source, l.first);
    for (const auto& l : c.lines) Put16(source, l.second);
    add(0x127, source);
  }
  std::string publics(4, '\0');
  for (const auto& [offset, name] : c.codePublics) {
    Put16(publics, 26), Put16(publics, 0x20);
    std::string record(24, '\0');
    for (int i = 0; i < 4; ++i) record[8 + i] = static_cast<char>(name >> (8 * i));
    for (int i = 0; i < 4; ++i) record[16 + i] = static_cast<char>(offset >> (8 * i));
    publics += record;
  }
  add(0x125, publics);
  std::string block = "FB09";
  Put32(block, static_cast<uint32_t>(8 + body.size()));
  block += body;
  Put16(block, 12), Put16(block, 12), Put32(block, static_cast<uint32_t>(entries.size())), Put32(block, 0);
  for (const auto& [type, offset, size] : entries) {
    Put16(block, type), Put16(block, 0), Put32(block, offset), Put32(block, size);
  }
  return block;
}

}  // namespace zormap_test
