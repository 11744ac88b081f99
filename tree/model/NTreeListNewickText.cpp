// The passes that normalise a Newick text before its trees are parsed. Each
// is one linear scan, so a file of many trees costs no more than its size.

#include <vector>

#include "tree/model/NTreeList_p.h"

void RemoveChars(std::string& s, std::string_view chars) {
  std::erase_if(s, [chars](char c) { return chars.find(c) != std::string_view::npos; });
}

size_t SkipQuoted(std::string_view s, size_t i) {
  for (++i; i < s.size(); ++i) {
    if (s[i] != '\'') continue;
    if (i + 1 < s.size() && s[i + 1] == '\'')
      ++i;
    else
      return i + 1;
  }
  return s.size();
}

void RemoveBlanks(std::string& s) {
  // Scans backwards from the last character, as the notation's quoting is
  // read from a name's closing quote to its opening one, compacting in place
  // towards the end: the write position never falls below the read position.
  size_t w = s.size();
  bool quoted = false;
  for (size_t i = s.size(); i-- > 0;) {
    const char c = s[i];
    if (quoted && c == '\'' && i >= 1 && s[i - 1] == '\'') {
      s[--w] = c;  // a doubled quote stays inside the name
      s[--w] = c;
      --i;
      continue;
    }
    if (c == '\'') {
      quoted = !quoted;
    } else if (!quoted && c == ' ' && i >= 1) {
      continue;  // the first character is never dropped
    }
    s[--w] = c;
  }
  s.erase(0, w);
}

bool ValidNewickText(std::string_view s) {
  long open = 0, close = 0, totalOpen = 0, totalClose = 0;
  ptrdiff_t lastOpen = -1, lastComma = -1;
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == '\'') {
      i = SkipQuoted(s, i);
      continue;
    }
    if (c == '[') {
      const size_t end = s.find(']', i + 1);
      i = end == std::string_view::npos ? s.size() : end + 1;
      continue;
    }
    if (c == '(') {
      ++open, ++totalOpen, lastOpen = static_cast<ptrdiff_t>(i);
    } else if (c == ')') {
      ++close, ++totalClose;
      if (lastComma < lastOpen) return false;
    } else if (c == ',') {
      lastComma = static_cast<ptrdiff_t>(i);
    } else if (c == ';') {
      if (open == 0 || open != close) return false;
      open = close = 0;
    }
    ++i;
  }
  return totalOpen == totalClose;
}

namespace {

// What a pass does with the character at i: copy it or not, and where
// reading goes on (npos: the text is invalid).
struct Step {
  size_t next;
  bool keep = true;
};

// Rewrites the text in place, front to back: quoted names are copied whole,
// every other character goes through `step`, which looks only at positions
// from i on (never yet overwritten).
template <typename StepAt>
bool CompactOutsideQuotes(std::string& s, StepAt step) {
  size_t out = 0;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '\'') {
      const size_t end = SkipQuoted(s, i);
      while (i < end) s[out++] = s[i++];
      continue;
    }
    const Step k = step(i);
    if (k.next == std::string::npos) return false;
    if (k.keep) s[out++] = s[i];
    i = k.next;
  }
  s.resize(out);
  return true;
}

}  // namespace

void RemoveCommentsAfterGroups(std::string& s) {
  CompactOutsideQuotes(s, [&s](size_t i) {
    size_t next = i + 1;
    // Several comments may follow one another.
    while (s[i] == ')' && next < s.size() && s[next] == '[') {
      const size_t end = s.find(']', next + 1);
      if (end == std::string::npos) break;
      next = end + 1;
    }
    return Step{next};
  });
}

bool RemoveComments(std::string& s) {
  return CompactOutsideQuotes(s, [&s](size_t i) {
    if (s[i] == ']') return Step{std::string::npos};
    if (s[i] != '[') return Step{i + 1};
    const size_t end = s.find(']', i + 1);
    return Step{end == std::string::npos ? end : end + 1, false};
  });
}

void RemoveInternalLabels(std::string& s) {
  auto ends = [](char c) { return c == ',' || c == ':' || c == ')' || c == ';'; };
  CompactOutsideQuotes(s, [&s, ends](size_t i) {
    size_t next = i + 1;
    if (s[i] != ')' || next >= s.size() || ends(s[next]) || s[next] == '\t') return Step{next};
    // A quoted label is passed over whole, whatever it holds.
    while (next < s.size() && !ends(s[next])) next = s[next] == '\'' ? SkipQuoted(s, next) : next + 1;
    return Step{next};
  });
}

bool TreeAfterLastEnd(std::string_view s) {
  bool group = false;
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == '\'') {
      i = SkipQuoted(s, i);
      continue;
    }
    if (c == '[') {
      const size_t end = s.find(']', i + 1);
      i = end == std::string_view::npos ? s.size() : end + 1;
      continue;
    }
    if (c == ';') group = false;
    if (c == '(') group = true;
    ++i;
  }
  return group;
}

std::vector<size_t> TreeEnds(std::string_view s) {
  std::vector<size_t> ends;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '\'') {
      i = SkipQuoted(s, i);
      continue;
    }
    if (s[i] == ';') ends.push_back(i);
    ++i;
  }
  return ends;
}

int CountTaxa(std::string_view tree) {
  int count = 0;
  for (size_t i = 0; i < tree.size();) {
    if (tree[i] == '\'') {
      i = SkipQuoted(tree, i);
      continue;
    }
    if ((tree[i] == '(' || tree[i] == ',') && (i + 1 >= tree.size() || tree[i + 1] != '(')) ++count;
    ++i;
  }
  return count;
}

size_t FindOutsideQuotes(std::string_view s, char wanted) {
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '\'') {
      i = SkipQuoted(s, i);
      continue;
    }
    if (s[i] == wanted) return i;
    ++i;
  }
  return std::string_view::npos;
}
