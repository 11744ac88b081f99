#include "platform/classes/IniText.h"

#include <algorithm>
#include <tuple>

#include "platform/classes/StoreFiles_p.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t npos = std::string::npos;

bool HasBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

void Check(bool valid, const char* text, std::string_view name) {
  if (!valid) throw EIniFileException(Format(text, {std::string(name)}));
}

// What a line (trimmed) starts as, for the checks of written text.
bool ReadsAsHeader(std::string_view t) { return t.size() >= 2 && t.front() == '[' && t.back() == ']'; }
bool ReadsAsEntryName(std::string_view name) {
  return name.find('=') == std::string_view::npos && (name.empty() || (name[0] != '[' && name[0] != ';'));
}
}  // namespace

TIniText::TLine TIniText::MakeLine(std::string Text, std::string Break) {
  TLine line;
  line.Text = std::move(Text);
  line.Break = std::move(Break);
  const std::string t = Trim(line.Text);
  if (t.empty()) {
    line.Kind = TKind::Blank;
  } else if (t[0] == ';') {
    line.Kind = TKind::Comment;
  } else if (ReadsAsHeader(t)) {
    line.Kind = TKind::Header;
    line.Name = t.substr(1, t.size() - 2);
  } else if (const size_t equals = t.find('='); equals != npos) {
    line.Kind = TKind::Entry;
    line.Name = Trim(std::string_view(t).substr(0, equals));
    line.Value = Trim(std::string_view(t).substr(equals + 1));
  } else {
    line.Kind = TKind::Raw;
  }
  if (line.Kind == TKind::Header || line.Kind == TKind::Entry) line.Folded = FoldName(line.Name);
  return line;
}

TIniText::TIniText(std::string_view Text) {
  if (Text.starts_with(kByteOrderMark)) {
    bom_ = kByteOrderMark;
    Text.remove_prefix(bom_.size());
  }
  while (!Text.empty()) {
    const size_t end = Text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      lines_.push_back(MakeLine(std::string(Text), ""));
      break;
    }
    const size_t breakSize = Text.substr(end).starts_with("\r\n") ? 2 : 1;
    lines_.push_back(MakeLine(std::string(Text.substr(0, end)), std::string(Text.substr(end, breakSize))));
    Text.remove_prefix(end + breakSize);
  }
  if (!lines_.empty() && !lines_[0].Break.empty()) break_ = lines_[0].Break;
}

std::string TIniText::Text() const {
  std::string text = bom_;
  for (const TLine& line : lines_) text += line.Text + line.Break;
  return text;
}

void TIniText::Clear() { lines_.clear(); }

std::pair<size_t, size_t> TIniText::Body(std::string_view Folded) const {
  size_t first = npos;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].Kind != TKind::Header) continue;
    if (first != npos) return {first, i};
    if (lines_[i].Folded == Folded) first = i + 1;
  }
  return {first, lines_.size()};
}

size_t TIniText::FindEntry(std::pair<size_t, size_t> Body, std::string_view Folded) const {
  for (size_t i = Body.first; Body.first != npos && i < Body.second; ++i)
    if (lines_[i].Kind == TKind::Entry && lines_[i].Folded == Folded) return i;
  return npos;
}

std::vector<std::string> TIniText::SectionNames() const {
  std::vector<std::string> names, folded;
  for (const TLine& line : lines_)
    if (line.Kind == TKind::Header && std::find(folded.begin(), folded.end(), line.Folded) == folded.end()) {
      names.push_back(line.Name);
      folded.push_back(line.Folded);
    }
  return names;
}

bool TIniText::SectionExists(std::string_view Section) const { return Body(FoldName(Section)).first != npos; }

bool TIniText::Find(std::string_view Section, std::string_view Ident, std::string& Value) const {
  const size_t i = FindEntry(Body(FoldName(Section)), FoldName(Trim(Ident)));
  if (i == npos) return false;
  Value = lines_[i].Value;
  return true;
}

std::vector<std::string> TIniText::Idents(std::string_view Section) const {
  std::vector<std::string> idents;
  const auto [first, end] = Body(FoldName(Section));
  for (size_t i = first; first != npos && i < end; ++i)
    if (lines_[i].Kind == TKind::Entry) idents.push_back(lines_[i].Name);
  return idents;
}

std::vector<std::string> TIniText::SectionLines(std::string_view Section) const {
  std::vector<std::string> lines;
  const auto [first, end] = Body(FoldName(Section));
  for (size_t i = first; first != npos && i < end; ++i) {
    const TLine& line = lines_[i];
    if (line.Kind == TKind::Entry) lines.push_back(line.Name + "=" + line.Value);
    if (line.Kind == TKind::Raw) lines.push_back(Trim(line.Text));
  }
  return lines;
}

void TIniText::InsertLine(size_t Index, std::string Text) {
  if (Index > 0 && lines_[Index - 1].Break.empty()) lines_[Index - 1].Break = break_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(Index), MakeLine(std::move(Text), break_));
}

size_t TIniText::AddSection(std::string_view Section) {
  Check(!HasBreak(Section), kIniInvalidSectionText, Section);
  if (!lines_.empty() && lines_.back().Kind != TKind::Blank) InsertLine(lines_.size(), "");
  InsertLine(lines_.size(), "[" + std::string(Section) + "]");
  return lines_.size();
}

void TIniText::SetValue(std::string_view Section, std::string_view Ident, std::string_view Value) {
  const std::string name = Trim(Ident);
  Check(!HasBreak(Ident) && ReadsAsEntryName(name), kIniInvalidIdentText, Ident);
  Check(!HasBreak(Value), kIniInvalidValueText, name);
  auto body = Body(FoldName(Section));
  if (const size_t i = FindEntry(body, FoldName(name)); i != npos) {
    lines_[i] = MakeLine(lines_[i].Name + "=" + std::string(Value), lines_[i].Break);
    return;
  }
  if (body.first == npos) body = {AddSection(Section), lines_.size()};
  size_t at = body.second;
  while (at > body.first && lines_[at - 1].Kind == TKind::Blank) --at;
  InsertLine(at, name + "=" + std::string(Value));
}

void TIniText::SetSectionLines(std::string_view Section, const std::vector<std::string>& Lines) {
  std::vector<std::string> kept;
  for (const std::string& line : Lines) {
    const std::string t = Trim(line);
    if (t.empty()) continue;
    Check(!HasBreak(line) && !ReadsAsHeader(t) && t[0] != ';', kIniInvalidLineText, Section);
    kept.push_back(t);
  }
  auto [first, end] = Body(FoldName(Section));
  if (first == npos) {
    first = end = AddSection(Section);
  } else {
    while (end > first && lines_[end - 1].Kind == TKind::Blank) --end;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
  }
  for (size_t i = 0; i < kept.size(); ++i) InsertLine(first + i, kept[i]);
}

bool TIniText::EraseSection(std::string_view Section) {
  bool erased = false;
  const std::string folded = FoldName(Section);
  for (auto [first, end] = Body(folded); first != npos; std::tie(first, end) = Body(folded)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first - 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    erased = true;
  }
  return erased;
}

bool TIniText::DeleteKey(std::string_view Section, std::string_view Ident) {
  const size_t i = FindEntry(Body(FoldName(Section)), FoldName(Trim(Ident)));
  if (i == npos) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
  return true;
}
