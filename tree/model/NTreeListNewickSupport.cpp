// Support values in Newick text: the label conventions applied before parsing
// and the post-pass that reinterprets "branch lengths" after it.

#include <algorithm>
#include <cmath>

#include "tree/model/NTreeList.h"
#include "tree/model/NTreeList_p.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A: ":" after some ")" and after nothing else.
bool GroupColonsOnly(const std::string& s) {
  bool afterGroup = false;
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\'') quoted = !quoted;
    if (quoted || s[i] != ':') continue;
    if (i > 0 && s[i - 1] == ')')
      afterGroup = true;
    else
      return false;  // a taxon (or a quoted name) carries a ":" value
  }
  return afterGroup;
}

void ColonsToTabs(std::string& s) {
  bool quoted = false;
  for (char& c : s) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && c == ':') c = '\t';
  }
}

// B: the stretch after a ")" up to the next "," or ")" holds a "[". Passing
// `convert` also rewrites the stretches: "[" becomes a TAB and the first "]"
// is removed, which ends the stretch.
bool BracketGroupLabels(std::string& s, bool convert) {
  bool found = false;
  bool quoted = false;
  bool inStretch = false;
  size_t out = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\'') quoted = !quoted;
    if (!quoted) {
      if (c == ')') {
        inStretch = true;
      } else if (inStretch) {
        if (c == ',') {
          inStretch = false;
        } else if (c == '[') {
          found = true;
          if (!convert) return true;
          c = '\t';
        } else if (c == ']') {
          inStretch = false;
          continue;  // removed
        }
      }
    }
    if (convert) s[out++] = c;
  }
  if (convert) s.resize(out);
  return found;
}

bool TabGoesAfter(const std::string& s, size_t i) { return s[i] == ')' && i + 1 < s.size() && IsDigit(s[i + 1]); }

// C: some ")" is directly followed by a digit. Any group may be the first
// with a label: programs leave it off where they have no value, often on the
// first group of a rooted tree.
bool NumberGroupLabels(const std::string& s) {
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\'') quoted = !quoted;
    if (!quoted && TabGoesAfter(s, i)) return true;
  }
  return false;
}

// Inserted in place, from the back, so a long text is never held twice.
void TabAfterNumberedGroups(std::string& s) {
  size_t count = 0;
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\'') quoted = !quoted;
    if (!quoted && TabGoesAfter(s, i)) ++count;
  }
  const size_t oldSize = s.size();
  s.resize(oldSize + count);
  // Walking back from the end, the quote state starts as it is after the
  // last character and is undone at each quote passed. The character after
  // the current one may already be overwritten, so it is carried along.
  size_t w = s.size();
  char next = '\0';
  for (size_t i = oldSize; i-- > 0;) {
    const char c = s[i];
    if (!quoted && c == ')' && IsDigit(next)) s[--w] = '\t';
    s[--w] = c;
    if (c == '\'') quoted = !quoted;
    next = c;
  }
}

}  // namespace

bool ApplySupportLabelConvention(std::string& text) {
  if (GroupColonsOnly(text)) {
    ColonsToTabs(text);
    return true;
  }
  if (BracketGroupLabels(text, false)) {
    BracketGroupLabels(text, true);
    return true;
  }
  if (NumberGroupLabels(text)) {
    TabAfterNumberedGroups(text);
    return true;
  }
  return false;
}

void RaiseMaxStats(double& maxStats, std::string_view label, double value) {
  if (label.find(kNewickDecimalSeparator) == std::string_view::npos || !(value > maxStats)) return;
  maxStats = value >= 1 ? std::pow(10.0, std::ceil(std::log10(value))) : 1.0;
}

void SupportPostPass(TTreeList& list) {
  if (!list.isBLen()) return;
  const TTreeData& first = list.Items(0);
  const int n = first.NoOfOTUs();
  const auto blen = first.BLen();
  const auto stats = first.Stats();

  if (first.SBL() < 1e-13) {
    list.SetIsBLen(false);
    return;
  }
  // Two taxa have no group that could carry a support value: the numbers
  // after ":" can only be lengths.
  if (n == 2) return;

  bool same = true;
  for (int b = n; b <= 2 * n - 3 && same; ++b) same = std::fabs(stats[b] - blen[b]) <= 1e-13;
  if (same) {
    // Every group length equals its support: the lengths carry nothing else.
    if (blen[0] > 1e-11) list.MaxStats = blen[0];
    list.SetIsBLen(false);
    return;
  }

  bool equal = true;
  for (int d = 1; d < n && equal; ++d) equal = std::fabs(blen[d] - blen[0]) <= 1e-14;
  if (!equal) return;  // real branch lengths

  // All taxa carry the same placeholder: the numbers after ":" are support
  // values.
  double highest = 0;
  for (int t = 0; t < list.NoOfTrees(); ++t) {
    TTreeData& tree = list.Items(t);
    const auto treeBLen = tree.BLen();
    const auto treeStats = tree.Stats();
    for (int j = 0; j <= 2 * n - 3; ++j) {
      if (treeStats[j] > -1e-13) treeStats[j] = treeBLen[j];  // -1 marks a resolved multifurcation
      highest = std::max(highest, treeStats[j]);
    }
  }
  if (blen[0] <= 1e-11)
    list.MaxStats = highest < 1.00000000001 ? 1 : highest < 100.00000000001 ? 100 : 0;
  else
    list.MaxStats = blen[0];  // the placeholder on the taxa is the total
  list.StatsName.clear();
  list.SetIsBLen(false);
}
