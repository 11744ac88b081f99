#include "app/TreeResult.h"

#include <cmath>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"

namespace {

// Every failure below is a malformed result; the caller drops it whole.
struct Malformed {};

double ReadNumber(const std::string& text) {
  double value = 0;
  if (!TryStrToFloat(text, value, '.') && !TryStrToFloat(text, value, DefaultDecimalSeparator())) throw Malformed{};
  if (!std::isfinite(value)) throw Malformed{};
  return value;
}

int ReadInteger(const std::string& text) {
  int32_t value = 0;
  if (!TryStrToInt(text, value)) throw Malformed{};
  return value;
}

struct NodeLine {
  int child = 0;  // counted from 1
  double length = 0;
  double support = 0;
};

NodeLine ReadNodeLine(const std::string& line, bool withSupport) {
  const size_t at = line.find("and");
  std::string rest = Trim(at == std::string::npos ? (line.size() > 3 ? line.substr(3) : std::string())
                                                   : (at + 4 < line.size() ? line.substr(at + 4) : std::string()));
  const size_t blank = rest.find(' ');
  if (blank == std::string::npos) throw Malformed{};
  NodeLine node;
  node.child = ReadInteger(rest.substr(0, blank));
  const std::string values = Trim(rest.substr(blank + 1));
  if (!withSupport) {
    node.length = ReadNumber(values);
    return node;
  }
  const size_t second = values.find(' ');
  if (second == std::string::npos) throw Malformed{};
  node.length = ReadNumber(values.substr(0, second));
  node.support = ReadNumber(values.substr(second + 1));
  return node;
}

class Parser {
 public:
  Parser(const TStringList& lines, const TTreeResultOptions& options) : lines_(lines), options_(options) {}

  TTreeResult Run() {
    const std::string first = Line(0);
    const size_t blank = first.find(' ');
    if (blank == std::string::npos) throw Malformed{};
    n_ = ReadInteger(first.substr(0, blank));
    if (n_ < 2 || n_ > kMaxNoOfOTUs) throw Malformed{};

    TTreeResult result;
    result.list = std::make_unique<TTreeList>();
    TTreeList& list = *result.list;
    if (options_.bootstrap) list.MaxStats = options_.replicates;
    for (int i = 0; i < n_; ++i) {
      const std::string line = Line(i + 1);
      const size_t space = line.find(' ');
      list.SetOTUName(i, space == std::string::npos ? line : line.substr(space + 1));
    }
    TTreeData* tree = list.Add(std::make_unique<TTreeData>(n_, true, false, options_.bootstrap));
    if (!tree) throw Malformed{};
    withSupport_ = list.isStats();
    used_.assign(2 * n_ - 2, false);

    int next = n_ + 1;  // index of line N+2
    for (int j = 0; j <= n_ - 2; ++j) {
      if (j == n_ - 2 && !options_.upgma) {
        const NodeLine node = ReadNodeLine(Line(next++), withSupport_);
        SetChild(*tree, j, 0, node);
        const int centre = 2 * n_ - 3;
        SetChild(*tree, j, 1, NodeLine{centre + 1, 0, tree->Stats()[node.child - 1]});
      } else {
        SetChild(*tree, j, 0, ReadNodeLine(Line(next++), withSupport_));
        SetChild(*tree, j, 1, ReadNodeLine(Line(next++), withSupport_));
      }
    }
    list.isRooted = options_.upgma;

    for (int i = 3 * n_ - 1; i < lines_.Count(); ++i) result.output.Add(lines_[i]);
    std::string newick;
    list.OutputNewickTree(0, true, withSupport_, 0, newick);
    result.output.Add("");
    result.output.Add(newick);
    return result;
  }

 private:
  std::string Line(int index) const {
    if (index >= lines_.Count()) throw Malformed{};
    return Trim(lines_[index]);
  }

  // Children must be taxa or internal nodes of earlier records, each used
  // once: so the table is a tree rooted in its last record.
  void SetChild(TTreeData& tree, int record, int slot, const NodeLine& line) {
    const int node = line.child - 1;
    if (node < 0 || node >= n_ + record || used_[node]) throw Malformed{};
    used_[node] = true;
    TNodeRecord& r = tree.NodeArray()[record];
    (slot == 0 ? r.des1 : r.des2) = static_cast<int16_t>(node);
    tree.BLen()[node] = line.length;
    if (withSupport_) tree.Stats()[node] = line.support;
  }

  const TStringList& lines_;
  const TTreeResultOptions& options_;
  int n_ = 0;
  bool withSupport_ = false;
  std::vector<bool> used_;
};

}  // namespace

std::optional<TTreeResult> ParseTreeResult(const TStringList& lines, const TTreeResultOptions& options) {
  try {
    return Parser(lines, options).Run();
  } catch (const Malformed&) {
  } catch (const Exception&) {
  }
  return std::nullopt;
}

std::optional<TTreeResult> ReadTreeResult(const std::string& fileName, const TTreeResultOptions& options) {
  TStringList lines;
  try {
    lines.LoadFromFile(fileName);
  } catch (const Exception&) {
    return std::nullopt;
  }
  return ParseTreeResult(lines, options);
}
