#include "tree/view/TreeFile.h"

#include <QDir>
#include <cstdint>
#include <string_view>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"
#include "tree/view/TreeSetup.h"

namespace {

// Writes "first,second" of an internal node, internal children in
// parentheses. Iterative: a caterpillar of the largest size must not exhaust
// the stack.
void WriteChildren(const TTreeData& tree, int node, std::string& out) {
  const int n = tree.NoOfOTUs();
  const auto records = tree.NodeArray();
  // Each entry is either a node to write as a child (>= 0) or a piece of
  // text to append (-1 ")" and -2 ",").
  constexpr int kClose = -1;
  constexpr int kComma = -2;
  std::vector<int> stack{records[node - n].des2, kComma, records[node - n].des1};
  while (!stack.empty()) {
    const int item = stack.back();
    stack.pop_back();
    if (item == kClose) {
      out += ')';
    } else if (item == kComma) {
      out += ',';
    } else if (item < n) {
      out += IntToStr(item + 1);
    } else {
      out += '(';
      const TNodeRecord r = records[item - n];
      stack.insert(stack.end(), {kClose, r.des2, kComma, r.des1});
    }
  }
}

void WriteChild(const TTreeData& tree, int node, std::string& out) {
  if (node < tree.NoOfOTUs()) {
    out += IntToStr(node + 1);
    return;
  }
  out += '(';
  WriteChildren(tree, node, out);
  out += ')';
}

[[noreturn]] void Malformed() { throw Exception(kBadOlderExportText); }

// Splits a line at blanks and tabs.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

int IntWord(std::string_view word) {
  int32_t value = 0;
  if (!TryStrToInt(word, value)) Malformed();
  return value;
}

double RealWord(std::string_view word) {
  double value = 0;
  if (!TryStrToFloat(word, value, '.')) Malformed();
  return value;
}

}  // namespace

std::string OlderTreeExportPath() {
  return QDir::homePath().toStdString() + "/" + kOlderExportFolder + "/" + kOlderExportFileName;
}

std::string FamilyTreeText(const TTreeData& tree, bool isRooted) {
  if (!tree.IsValidTopology()) throw Exception(kInvalidTreeText);
  const int n = tree.NoOfOTUs();
  // The root: the highest internal node that is no record's child.
  std::vector<bool> isChild(2 * n - 1, false);
  for (const TNodeRecord& r : tree.NodeArray()) {
    isChild[r.des1] = true;
    isChild[r.des2] = true;
  }
  int root = 2 * n - 2;
  while (root >= n && isChild[root]) --root;
  const TNodeRecord top = tree.NodeArray()[root - n];
  const int a = top.des1;
  const int b = top.des2;
  std::string out = "(";
  if (isRooted || (a < n && b < n)) {
    WriteChild(tree, a, out);
    out += ',';
    WriteChild(tree, b, out);
  } else if (a < n) {
    WriteChild(tree, a, out);
    out += ',';
    WriteChildren(tree, b, out);
  } else if (b < n) {
    WriteChildren(tree, a, out);
    out += ',';
    WriteChild(tree, b, out);
  } else {
    WriteChildren(tree, a, out);
    out += ",(";
    WriteChildren(tree, b, out);
    out += ')';
  }
  out += ");";
  return out;
}

TStringList FamilyTreeFileHeader(const std::string& title, const std::vector<std::string>& names) {
  TStringList lines;
  lines.Add("#nuxa");
  lines.Add("!Title: " + title + ";");
  lines.Add("!Format: datatype=tree ntaxa=" + IntToStr(static_cast<int64_t>(names.size())) + ";");
  lines.Add("");
  for (size_t i = 0; i < names.size(); ++i) {
    lines.Add("[" + IntToStr(static_cast<int64_t>(i + 1)) + "] #" + BlanksToUnderscores(names[i]));
  }
  lines.Add("");
  return lines;
}

TOlderTreeExport ParseOlderTreeExport(const TStringList& lines) {
  if (lines.Count() < 2) Malformed();
  TOlderTreeExport result;
  const std::string code = Trim(lines[0]);
  if (code.size() < 3) Malformed();
  result.isRooted = code[0] == 'U';
  result.isBLen = code[1] == 'B';
  result.isStats = code[2] == 'B' || code[2] == 'E';

  const std::vector<std::string_view> countWords = Words(lines[1]);
  if (countWords.size() != 1) Malformed();
  const int n = IntWord(countWords[0]);
  if (n < 2 || n > kMaxNoOfOTUs) Malformed();
  // The count is checked against the lines before anything is allocated.
  if (lines.Count() < 2 + n + (n - 1)) Malformed();

  auto list = std::make_unique<TTreeList>();
  list->isRooted = result.isRooted;
  if (result.isStats) {
    list->MaxStats = 100;
    list->StatsName = code[2] == 'B' ? "%BP Value" : "%CP Value";
  }
  for (int i = 0; i < n; ++i) {
    const std::string& line = lines[2 + i];
    const std::string rest = TrimLeft(line);
    const std::vector<std::string_view> words = Words(rest);
    if (words.empty()) Malformed();
    IntWord(words[0]);
    list->SetOTUName(i, Trim(std::string_view(rest).substr(words[0].size())));
  }
  auto tree = std::make_unique<TTreeData>(n, result.isBLen, false, true);
  const int valueCount = 3 + (result.isBLen ? 2 : 0) + (result.isStats ? 2 : 0);
  for (int k = 0; k < n - 1; ++k) {
    const std::vector<std::string_view> words = Words(lines[2 + n + k]);
    if (static_cast<int>(words.size()) < valueCount) Malformed();
    IntWord(words[0]);
    const int a = IntWord(words[1]);
    const int b = IntWord(words[2]);
    // Children are nodes 1..2N-2: the root is nobody's child.
    if (a < 1 || a > 2 * n - 2 || b < 1 || b > 2 * n - 2) Malformed();
    tree->NodeArray()[k] = {static_cast<int16_t>(a - 1), static_cast<int16_t>(b - 1)};
    size_t w = 3;
    if (result.isBLen) {
      tree->BLen()[a - 1] = RealWord(words[w++]);
      tree->BLen()[b - 1] = RealWord(words[w++]);
    }
    if (result.isStats) {
      tree->Stats()[a - 1] = RealWord(words[w++]);
      tree->Stats()[b - 1] = RealWord(words[w++]);
    }
  }
  CheckTreeData(*tree, n);
  if (!list->Add(std::move(tree))) Malformed();
  result.List = std::move(list);
  return result;
}
