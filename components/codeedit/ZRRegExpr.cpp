#include "components/codeedit/ZRRegExpr.h"

#include <algorithm>

#include "components/base/zrbaselib.h"
#include "platform/core/Codecs.h"

namespace {
enum : std::uint8_t {
  kLiteral = 0,
  kAny = 1,
  kSet = 2,
  kLineStart = 3,
  kLineEnd = 4,
  kGroupOpen = 5,
  kGroupClose = 6,
  kEscape = 7,
  kPlus = 8,
  kStar = 9,
};

char32_t AsciiUpper(char32_t C) { return C >= U'a' && C <= U'z' ? C - 32 : C; }
bool IsRepeat(char32_t C) { return C == U'*' || C == U'+'; }
}  // namespace

TRegExpr::TRegExpr(const std::string& Pattern, bool CaseSensitive)
    : pattern_(Pattern), chars_(Utf8ToUtf32(Pattern)), caseSensitive_(CaseSensitive) {
  Compile();
}

bool TRegExpr::IsAnchorOnly(std::string_view Pattern) { return Pattern == "^" || Pattern == "$" || Pattern == "^$"; }

void TRegExpr::Fail(size_t Position) const {
  RaiseFmtError(kInvalidMaskText, {pattern_, static_cast<std::int64_t>(Position) + 1});
}

void TRegExpr::Compile() {
  std::vector<int> groups;  // indices of the open braces
  int depth = 0;
  int unit = -1;          // first item of what a following "*" or "+" repeats
  bool implicit = false;  // an implicit group around one character or set is open
  auto emit = [&](std::uint8_t Kind, char32_t Ch = 0) {
    TItem item;
    item.Kind = Kind;
    item.Ch = Kind == kLiteral && !caseSensitive_ ? AsciiUpper(Ch) : Ch;
    items_.push_back(item);
    if (!implicit) unit = -1;
    return static_cast<int>(items_.size()) - 1;
  };
  auto openImplicit = [&] {
    implicit = true;
    unit = emit(kGroupOpen);
  };
  auto closeImplicit = [&] {
    emit(kGroupClose);
    implicit = false;  // the unit stays on the open item for the repeat
  };
  const size_t n = chars_.size();
  for (size_t i = 0; i < n; ++i) {
    const char32_t c = chars_[i];
    const bool repeatFollows = i + 1 < n && IsRepeat(chars_[i + 1]);
    switch (c) {
      case U'$':
        emit(kLineEnd);
        break;
      case U'^':
        emit(kLineStart);
        break;
      case U'.':
        emit(kAny);
        break;
      case U'{':
        groups.push_back(emit(kGroupOpen));
        ++depth;
        break;
      case U'}':
        emit(kGroupClose);
        if (!groups.empty()) {
          unit = groups.back();
          groups.pop_back();
        }
        --depth;
        break;
      case U'\\':
        if (i + 1 >= n) Fail(n);
        ++i;
        emit(kEscape, chars_[i]);
        unit = emit(kLiteral, chars_[i]);
        break;
      case U'[': {
        const TItem set = ParseSet(i);
        const bool repeated = i + 1 < n && IsRepeat(chars_[i + 1]);
        if (repeated) openImplicit();
        items_.push_back(set);
        if (!implicit) unit = -1;
        if (implicit) closeImplicit();
        break;
      }
      case U'*':
      case U'+': {
        const int first = unit >= 0 ? unit : static_cast<int>(items_.size()) - 1;
        if (first < 0) Fail(i);
        const std::uint8_t kind = items_[static_cast<size_t>(first)].Kind;
        if (kind == kLineStart || kind == kLineEnd || kind == kEscape || kind == kPlus || kind == kStar) Fail(i);
        const auto last = static_cast<std::int32_t>(items_.size()) - 1;
        for (size_t k = static_cast<size_t>(first); k < items_.size(); ++k)
          if (items_[k].Jump == -1) items_[k].Jump = last;
        emit(c == U'+' ? kPlus : kStar);
        break;
      }
      default:
        if (repeatFollows) openImplicit();
        emit(kLiteral, c);
        if (implicit) closeImplicit();
        break;
    }
  }
  TItem end;
  end.End = true;
  items_.push_back(end);
  if (depth != 0) Fail(n);
}

TRegExpr::TItem TRegExpr::ParseSet(size_t& I) const {
  const size_t n = chars_.size();
  TItem item;
  item.Kind = kSet;
  size_t i = I + 1;
  if (i < n && chars_[i] == U'^') {
    item.Ch = 1;
    ++i;
  }
  auto member = [&](char32_t C) { return caseSensitive_ ? C : AsciiUpper(C); };
  auto add = [&](char32_t C) {
    if (C < 256) item.Set.set(C);
  };
  bool havePrevious = false;
  char32_t previous = 0;
  for (;; ++i) {
    if (i >= n) Fail(n);
    const char32_t c = chars_[i];
    if (c == U']') break;
    if (c == U'-') {
      if (!havePrevious) Fail(i);
      if (i + 1 >= n) Fail(n);
      // The range end does not become the previous character.
      const char32_t to = member(chars_[++i]);
      for (char32_t x = previous; x <= to && x < 256; ++x) add(x);
      continue;
    }
    char32_t m = c;
    if (c == U'\\' && i + 1 < n && std::u32string_view(U"$*+.[]^{}-").find(chars_[i + 1]) != std::u32string_view::npos)
      m = chars_[++i];
    previous = member(m);
    havePrevious = true;
    add(previous);
  }
  if (item.Set.none()) Fail(i);  // i is on the closing bracket
  I = i;
  return item;
}

bool TRegExpr::Accepts(const TItem& Item, int P) const {
  const char32_t raw = P < static_cast<int>(text_.size()) ? text_[static_cast<size_t>(P)] : 0;
  const char32_t c = caseSensitive_ ? raw : AsciiUpper(raw);
  if (Item.Kind == kLiteral) return c == Item.Ch;
  if (Item.Kind == kAny) return true;
  const bool member = c < 256 && Item.Set.test(c);
  return member != (Item.Ch == 1);
}

bool TRegExpr::MatchUnit(int& P, int First, int Last, int& Length) {
  int p = P;
  if (!MatchSeq(p, First, Last, Length) || p <= P) return false;
  P = p;
  return true;
}

bool TRegExpr::MatchSeq(int& P, int A, int Last, int& Length) {
  ++runs_;
  const auto n = static_cast<int>(text_.size());
  bool endConsumed = false;
  while (A <= Last) {
    const TItem& item = items_[static_cast<size_t>(A)];
    if (item.Jump >= 0 && item.Jump != Last) {
      // A repeated unit A..u; its marker follows at u + 1.
      const int u = item.Jump;
      const bool star = items_[static_cast<size_t>(u) + 1].Kind == kStar;
      if (P >= n) {
        if (!star) return false;
        A = u + 2;
        continue;
      }
      if (!star && !MatchUnit(P, A, u, Length)) return false;
      stack_.emplace_back(P, u + 2);
      while (MatchUnit(P, A, u, Length) && P < n) stack_.emplace_back(P, u + 2);
      A = u + 2;
      continue;
    }
    if (item.End) {
      if (Length == 0) Length = P;
      return true;
    }
    Length = 0;
    switch (item.Kind) {
      case kLineStart:
        if (P != 0) return false;
        break;
      case kLineEnd:
        if (P != n) return false;
        break;
      case kLiteral:
      case kAny:
      case kSet:
        if (!Accepts(item, P) || endConsumed) return false;
        // At the end of the text an item consumes once without advancing.
        if (P < n)
          ++P;
        else
          endConsumed = true;
        break;
      default:  // zero-width: groups and markers
        break;
    }
    ++A;
  }
  return true;
}

bool TRegExpr::TryFrom(int Start, int& Length) {
  const auto last = static_cast<int>(items_.size()) - 1;
  const auto key = [&](int P, int A) { return static_cast<std::int64_t>(P) * (last + 1) + A; };
  int p = Start;
  if (MatchSeq(p, 0, last, Length)) return true;
  while (!stack_.empty()) {
    auto [q, a] = stack_.back();
    stack_.pop_back();
    if (!tried_.insert(key(q, a)).second) continue;
    if (MatchSeq(q, a, last, Length)) return true;
  }
  return false;
}

bool TRegExpr::Search(std::u32string_view Text, int& Column, bool Forward, int& Length) {
  Length = 0;
  runs_ = 0;
  const auto n = static_cast<int>(Text.size());
  Column = std::min(Column, n);
  if (n == 0) {
    // The one place of an empty line is its column 1.
    Column = IsAnchorOnly(pattern_) ? 1 : 0;
    return Column != 0;
  }
  text_ = Text;
  stack_.clear();
  tried_.clear();
  int start = Column <= 0 ? 0 : Column - 1;
  for (;;) {
    Column = start + 1;
    if (TryFrom(start, Length)) {
      stack_.clear();
      return true;
    }
    start += Forward ? 1 : -1;
    if (start >= n || start < 0) break;
  }
  stack_.clear();
  Column = 0;
  Length = 0;
  return false;
}

bool TRegExpr::MatchLine(std::u32string_view Text, int& Column, bool Forward, int& Length) {
  const auto n = static_cast<int>(Text.size());
  if (pattern_ == "$" && (Forward || Column == n)) {
    Column = n + 1;
    Length = 0;
    return true;
  }
  if (!Search(Text, Column, Forward, Length)) return false;
  Length = std::max((Length > 0 ? Length + 1 : 0) - Column, 0);
  return true;
}
