// The Newick writer of TTreeList.

#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

#include "platform/core/NumberFormat.h"
#include "platform/core/Streams.h"
#include "platform/core/StrUtils.h"
#include "tree/model/NTreeList.h"
#include "tree/model/NTreeList_p.h"

namespace {

class NewickWriter {
 public:
  NewickWriter(const TTreeList& list, const TTreeData& tree, bool withBLen, bool withStats, double condense)
      : list_(list),
        tree_(tree),
        n_(tree.NoOfOTUs()),
        nodes_(tree.NodeArray()),
        lengths_(withBLen && list.isBLen() && tree.SBL() > 1e-13),
        supports_(withStats && list.isStats()),
        rawSupports_(std::fabs(list.MaxStats) < 1e-12),
        condense_(condense) {}

  std::string Write() {
    // A node table that is not one tree has no text; refusing it here also
    // keeps the walk below from looping on a cycle.
    if (!tree_.IsValidTopology()) throw ERangeError();
    std::vector<char> isChild(2 * n_ - 1, 0);
    for (const TNodeRecord& node : nodes_) isChild[node.des1] = isChild[node.des2] = 1;
    int root = 2 * n_ - 2;
    while (root >= n_ && isChild[root]) --root;
    const int r = root - n_;
    const int a = nodes_[r].des1;
    const int b = nodes_[r].des2;

    out_ += '(';
    if (list_.isRooted || (IsLeaf(a) && IsLeaf(b))) {
      // A two-taxon tree has no inner branch to dissolve: written as rooted.
      Group(r);
    } else if (IsLeaf(a)) {
      Name(a);
      MergedLength(a, b);
      out_ += ',';
      Group(b - n_);
    } else if (IsLeaf(b)) {
      Group(a - n_);
      out_ += ',';
      Name(b);
      MergedLength(a, b);
    } else {
      Group(a - n_);
      out_ += ',';
      if (Condensed(b)) {
        Group(b - n_);
      } else {
        out_ += '(';
        Group(b - n_);
        out_ += ')';
        if (supports_) Support(b, 1e-12);
        MergedLength(a, b);
      }
    }
    out_ += ");";
    return std::move(out_);
  }

 private:
  enum class Step { kGroup, kChild, kComma, kClose, kSuffix };
  struct Task {
    Step step;
    int node;
  };

  bool IsLeaf(int c) const { return c < n_; }
  bool Condensed(int c) const { return !IsLeaf(c) && Stats(c) + 1e-12 < condense_; }

  // Values by node number. A tree whose root is not in the last record has
  // no entry for node 2N-2: its branch reads as length 0 without support.
  double BLen(int c) const { return tree_.GetBLen(c); }
  double Stats(int c) const { return tree_.GetStats(c); }

  void Name(int leaf) { out_ += NewickTaxonText(list_.OTUName(leaf)); }

  void Length(double value) {
    out_ += ':';
    out_ += FloatToStrF(value, TFloatFormat::ffFixed, 15, 8, kNewickDecimalSeparator);
  }

  // The two root branches become one when the root is dissolved.
  void MergedLength(int a, int b) {
    if (lengths_) Length(BLen(a) + BLen(b));
  }

  // A value that has no number text (not finite) is left out.
  void Support(int c, double epsilon) {
    const double value = rawSupports_ ? Stats(c) + epsilon : Stats(c) / list_.MaxStats;
    if (!std::isfinite(value)) return;
    if (!rawSupports_)
      out_ += FloatToStrF(value, TFloatFormat::ffFixed, 8, 4, kNewickDecimalSeparator);
    else if (std::fabs(value) < 9223372036854775808.0)
      out_ += IntToStr(Trunc(value));
    else
      out_ += LargeIntegerText(value);
  }

  // A whole number beyond 64 bits as digits and a power of ten, without a
  // decimal point, so that it reads back as a raw count: 5.6e96 is "56e95".
  static std::string LargeIntegerText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
      if (c != '.') digits += c;
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
    const int significant = static_cast<int>(digits.size()) - (digits[0] == '-' ? 1 : 0);
    return digits + 'e' + std::to_string(exponent - (significant - 1));
  }

  // The children of record `record`, separated by a comma. Iterative, so
  // that a deep tree cannot exhaust the stack.
  void Group(int record) {
    stack_.push_back({Step::kGroup, record});
    while (!stack_.empty()) {
      const Task task = stack_.back();
      stack_.pop_back();
      switch (task.step) {
        case Step::kGroup: {
          const TNodeRecord& node = nodes_[task.node];
          stack_.push_back({Step::kChild, node.des2});
          stack_.push_back({Step::kComma, 0});
          stack_.push_back({Step::kChild, node.des1});
          break;
        }
        case Step::kChild: {
          const int c = task.node;
          if (IsLeaf(c)) {
            Name(c);
            if (lengths_) Length(BLen(c));
          } else if (Condensed(c)) {
            // Its children join the enclosing group.
            stack_.push_back({Step::kGroup, c - n_});
          } else {
            out_ += '(';
            stack_.push_back({Step::kSuffix, c});
            stack_.push_back({Step::kClose, 0});
            stack_.push_back({Step::kGroup, c - n_});
          }
          break;
        }
        case Step::kComma: out_ += ','; break;
        case Step::kClose: out_ += ')'; break;
        case Step::kSuffix:
          if (supports_) Support(task.node, 1e-13);
          if (lengths_) Length(BLen(task.node));
          break;
      }
    }
  }

  const TTreeList& list_;
  const TTreeData& tree_;
  const int n_;
  const TArrayView<const TNodeRecord> nodes_;
  const bool lengths_;
  const bool supports_;
  const bool rawSupports_;
  const double condense_;
  std::vector<Task> stack_;
  std::string out_;
};

}  // namespace

std::string NewickTaxonText(const std::string& name) {
  std::string trimmed = Trim(name);
  // Besides the characters the notation reserves, a comma or a square bracket
  // in a bare name would split the taxon or start a comment when read back.
  if (trimmed.find_first_of("():;'_,[]") == std::string::npos) return StringReplace(trimmed, " ", "_");
  std::string quoted = "'";
  for (char c : trimmed) quoted.append(c == '\'' ? 2 : 1, c);
  quoted += '\'';
  return quoted;
}

void TTreeList::OutputNewickTree(int index, bool withBLen, bool withStats, double condense,
                                 std::string& text) const {
  try {
    text = NewickWriter(*this, Items(index), withBLen, withStats, condense).Write();
  } catch (const std::exception&) {
    text.clear();
  }
}

namespace {

void WriteLine(TStream& F, const std::string& text) {
  F.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  F.WriteBuffer("\r\n", 2);
}

}  // namespace

bool TTreeList::ExportToNewickFile(int index, const std::string& FileName, bool withBLen, bool withStats,
                                   double condense) const {
  try {
    TFileStream file(FileName, TFileMode::fmCreate);
    std::string text;
    OutputNewickTree(index, withBLen, withStats, condense, text);
    WriteLine(file, text);
    file.Flush();
    return !text.empty();
  } catch (const std::exception&) {
    return false;
  }
}

bool TTreeList::ExportAllToNewickFile(const std::string& FileName, bool withBLen, bool withStats,
                                      double condense) const {
  try {
    TFileStream file(FileName, TFileMode::fmCreate);
    bool complete = true;
    for (int i = 0; i < NoOfTrees() && complete; ++i) {
      std::string text;
      OutputNewickTree(i, withBLen, withStats, condense, text);
      WriteLine(file, text);
      complete = !text.empty();
    }
    file.Flush();
    // A file cut short at a tree without text is not a successful export.
    return complete;
  } catch (const std::exception&) {
    return false;
  }
}
