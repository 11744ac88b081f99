// The Newick reader of TTreeList: the text is normalised by the passes of
// NTreeList_p.h, then each tree is parsed without recursion, so that deep
// trees cannot exhaust the stack.

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/core/NumberFormat.h"
#include "platform/core/Streams.h"
#include "platform/core/StrUtils.h"
#include "platform/ui/DialogService.h"
#include "tree/model/NPleaseWait.h"
#include "tree/model/NTreeList.h"
#include "tree/model/NTreeList_p.h"

namespace {

// Parses trees of one text into a list whose taxa it fixes (first tree or
// names list) and checks: every taxon number is below N and each tree names
// every taxon exactly once, so no tree read can hold a cycle or a gap.
class NewickTreeParser {
 public:
  NewickTreeParser(TTreeList& list, const TStringList* names, int n)
      : list_(list), names_(names), n_(n), usedIn_(n, 0) {
    if (names_)
      for (int i = 0; i < names_->Count(); ++i) index_.emplace((*names_)[i], i);
  }

  // Parses the tree that opens at text[0] == '(' into `tree` (over N taxa).
  bool Parse(std::string_view text, TTreeData& tree) {
    s_ = text;
    pos_ = 1;
    nodes_ = tree.NodeArray();
    blen_ = tree.BLen();
    stats_ = tree.Stats();
    records_ = 0;
    ++treeNumber_;
    frames_.assign(1, Frame{});
    for (;;) {
      if (pos_ >= s_.size()) return false;
      if (s_[pos_] == '(') {
        ++pos_;
        frames_.push_back(Frame{});
        continue;
      }
      int child = ReadLeaf();
      if (child < 0) return false;
      // Hand the child to its group; a ")" closes the group, whose node is
      // then the child handed to the group around it.
      for (;;) {
        if (!ReadBranchInfo(child) || !AddChild(child)) return false;
        if (pos_ < s_.size() && s_[pos_] == ',') {
          ++pos_;
          break;
        }
        if (pos_ >= s_.size() || s_[pos_] != ')' || frames_.back().count < 2) return false;
        ++pos_;
        child = frames_.back().last;
        frames_.pop_back();
        if (frames_.empty()) return records_ == n_ - 1;  // the root: the last record
      }
    }
  }

 private:
  struct Frame {
    int last = 0;  // the first child, then the node made last
    int count = 0;
  };

  // Two children make a node; each further child makes a node over the
  // previous one, which carries no support of its own (-1).
  bool AddChild(int child) {
    Frame& f = frames_.back();
    if (f.count++ == 0) {
      f.last = child;
      return true;
    }
    if (records_ >= n_ - 1) return false;  // more taxa than the first tree
    nodes_[records_] = {static_cast<int16_t>(f.last), static_cast<int16_t>(child)};
    if (f.count == 2) {
      list_.isRooted = true;
    } else {
      stats_[f.last] = -1;
      list_.isRooted = false;
    }
    f.last = n_ + records_++;
    return true;
  }

  // The first position from `from` whose character ends a token, or the end.
  template <typename Ends>
  size_t Until(size_t from, Ends ends) const {
    while (from < s_.size() && !ends(s_[from])) ++from;
    return from;
  }

  // The taxon number of the name at the position, or -1.
  int ReadLeaf() {
    std::string name;
    if (s_[pos_] == '\'') {
      size_t i = pos_ + 1;
      bool closed = false;
      while (i < s_.size()) {
        // The text had its TABs removed; one here is a support mark that a
        // comment holding a quote has shifted into a name.
        if (s_[i] == '\t') return -1;
        if (s_[i] != '\'') {
          name += s_[i++];
        } else if (i + 1 < s_.size() && s_[i + 1] == '\'') {
          name += '\'';  // "''" stands for one quote
          i += 2;
        } else {
          closed = true;
          ++i;
          break;
        }
      }
      if (!closed) return -1;
      pos_ = i;
    } else {
      const size_t end = Until(pos_, [](char c) { return c == ':' || c == '\t' || c == ',' || c == ')'; });
      name.assign(s_.substr(pos_, end - pos_));
      std::replace(name.begin(), name.end(), '_', ' ');
      pos_ = end;
    }
    // Names are kept as the writer writes them, so that two names the
    // writer would make one are one name here too.
    name = Trim(name);
    int taxon = -1;
    if (!names_ && treeNumber_ == 1) {
      taxon = list_.OTUNames.Count();
      // A name given twice could not tell its taxa apart when read back.
      if (taxon >= n_ || !index_.emplace(name, taxon).second) return -1;
      list_.OTUNames.Add(std::move(name));
    } else {
      auto found = index_.find(name);
      if (found == index_.end() || found->second >= n_) return -1;
      taxon = found->second;
      if (names_) list_.SetOTUName(taxon, std::move(name));
    }
    if (usedIn_[taxon] == treeNumber_) return -1;  // named twice in one tree
    usedIn_[taxon] = treeNumber_;
    return taxon;
  }

  // ":" length and TAB support value after a child, up to its "," or ")".
  bool ReadBranchInfo(int child) {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == ')' || c == ',') return true;
      if (c == '\'') {
        pos_ = SkipQuoted(s_, pos_);
      } else if (c == ':' || c == '\t') {
        const size_t start = ++pos_;
        const char other = c == ':' ? '\t' : ':';  // a length ends at a support value and back
        pos_ = Until(pos_, [other](char d) { return d == other || d == ',' || d == ')'; });
        const std::string_view label = s_.substr(start, pos_ - start);
        double value = 0;
        if (!TryStrToFloat(label, value, kNewickDecimalSeparator)) return false;
        if (c == ':') {
          blen_[child] = value;
        } else {
          stats_[child] = value;
          RaiseMaxStats(list_.MaxStats, label, value);
        }
      } else {
        ++pos_;
      }
    }
    return true;
  }

  TTreeList& list_;
  const TStringList* names_;
  const int n_;
  std::unordered_map<std::string, int> index_;  // name -> taxon; in a names list the first entry wins
  std::vector<int> usedIn_;                     // the tree that last named each taxon
  int treeNumber_ = 0;
  std::vector<Frame> frames_;
  std::string_view s_;
  size_t pos_ = 0;
  TArrayView<TNodeRecord> nodes_;
  TArrayView<double> blen_;
  TArrayView<double> stats_;
  int records_ = 0;
};

}  // namespace

bool TTreeList::ImportFromNewick(const std::string& text, const TStringList* names) {
  return ImportNewick(text, names);
}

bool TTreeList::ImportNewick(std::string s, const TStringList* names) {
  if (s.empty()) throw Exception(kEmptyNewickText);
  RemoveChars(s, "\n\r");
  // A ";" missing after the last of several trees is asked about as after a
  // single tree, rather than dropping that tree unseen.
  if (s.find(';') == std::string::npos || TreeAfterLastEnd(s)) {
    if (Dialogs().MessageBox(kSemicolonMissingText, kSemicolonMissingCaption, TMsgDlgType::mtWarning,
                             TMsgDlgButtons::mbYesNo) != mrYes)
      return false;
    s += ';';
  }

  Clear();
  TPleaseWait pleaseWait(nullptr);
  try {
    RemoveChars(s, "\t");
    RemoveBlanks(s);
    if (!ValidNewickText(s)) throw EConvertError("invalid Newick text");
    MaxStats = 0;
    RemoveCommentsAfterGroups(s);
    if (ApplySupportLabelConvention(s)) StatsName = "Unknown";
    if (!RemoveComments(s)) throw EConvertError("unmatched comment bracket");
    RemoveInternalLabels(s);
    const std::vector<size_t> ends = TreeEnds(s);
    if (ends.empty()) throw EConvertError("no tree");
    const bool withBLen = s.find(':') != std::string::npos;
    if (MaxStats < 1e-11) MaxStats = s.find('\t') != std::string::npos ? 0 : -1;
    const std::string_view all(s);
    const int n = CountTaxa(all.substr(0, ends[0]));
    if (n <= 1) throw EConvertError("fewer than two taxa");

    NewickTreeParser parser(*this, names, n);
    size_t start = 0;
    for (size_t end : ends) {
      const std::string_view tree = all.substr(start, end - start);
      start = end + 1;
      // Whatever stands before the first "(" (a tree name) is passed over.
      const size_t open = FindOutsideQuotes(tree, '(');
      if (open == std::string_view::npos) throw EConvertError("tree without group");
      auto data = std::make_unique<TTreeData>(n, withBLen, false, true);
      data->Freq = 1;
      TTreeData* added = Add(std::move(data));
      if (!added || !parser.Parse(tree.substr(open), *added)) throw EConvertError("malformed tree");
    }
    SupportPostPass(*this);
    return true;
  } catch (const std::exception&) {
    Clear();
    return false;
  }
}

bool TTreeList::ImportFromNewickFile(const std::string& FileName, const TStringList* names) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(FileName, error)) return false;
  std::string text;
  {
    std::unique_ptr<TFileStream> file;
    try {
      file = std::make_unique<TFileStream>(FileName, TFileMode::fmOpenRead);
    } catch (const EInOutError&) {
      return false;
    }
    // Read to the end rather than trusting a size taken beforehand.
    constexpr int64_t kChunk = 1 << 16;
    for (int64_t got = kChunk; got == kChunk;) {
      const size_t at = text.size();
      text.resize(at + kChunk);
      got = file->Read(text.data() + at, kChunk);
      text.resize(at + static_cast<size_t>(std::max<int64_t>(got, 0)));
    }
  }
  // Joining the lines without separator is dropping the line breaks, which
  // the import does first anyway.
  return ImportNewick(std::move(text), names);
}
