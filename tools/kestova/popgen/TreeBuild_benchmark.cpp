// Neighbour-joining beside QuickTree (Debian package quicktree) on the same
// distance matrices: Da between synthetic samples (20 loci), written as a
// PHYLIP square matrix with 8 decimals. Each round times our side (reading
// that file and building the tree, in this process) and then QuickTree on
// the file (its whole run, read and build, output to /dev/null); the
// medians over the rounds are printed. Both sides run one after the other in
// the same moment, so load from other programs touches both alike.
//
// After the first round the two trees are compared: the number of splits of
// our tree that QuickTree's tree also has.
//
//   kestova_treebuild_benchmark [--rounds R] [sizes ...]    (default 3; 500 1000 2000 4000)
//   kestova_treebuild_benchmark --genepop <samples> <loci> <file>
//       writes a synthetic GENEPOP file (for timing the whole tool)

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "popgen/Bootstrap.h"
#include "popgen/Frequencies.h"
#include "popgen/SyntheticData.h"
#include "popgen/TreeBuild.h"

namespace {

using namespace popgen;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Da computed here directly, so that the matrix does not depend on the code
// being measured.
std::string PhylipMatrix(int samples) {
  const DataSet data = MakeSyntheticData(samples, 20);
  const Frequencies freq = ComputeFrequencies(data);
  const int loci = static_cast<int>(freq.loci.size());
  std::vector<std::vector<double>> roots(samples);  // per sample: loci x alleles, sqrt of frequency
  for (int s = 0; s < samples; ++s)
    for (int l = 0; l < loci; ++l)
      for (double f : freq.samples[s][l].freq) roots[s].push_back(std::sqrt(f));
  std::string text = std::to_string(samples) + "\n";
  char cell[32];
  for (int i = 0; i < samples; ++i) {
    text += "S" + std::to_string(i + 1);
    for (int j = 0; j < samples; ++j) {
      double sum = 0;
      for (size_t k = 0; k < roots[i].size(); ++k) sum += roots[i][k] * roots[j][k];
      const double d = i == j ? 0 : std::max(0.0, 1 - sum / loci);
      auto [end, ec] = std::to_chars(cell, cell + sizeof cell, d, std::chars_format::fixed, 8);
      text += ' ';
      text.append(cell, end);
    }
    text += '\n';
  }
  return text;
}

DistanceMatrix ReadPhylip(const std::string& text, std::vector<std::string>& names) {
  const char* at = text.data();
  const char* end = at + text.size();
  auto skip = [&] {
    while (at < end && (*at == ' ' || *at == '\n' || *at == '\r' || *at == '\t')) ++at;
  };
  int n = 0;
  at = std::from_chars(at, end, n).ptr;
  DistanceMatrix d(n);
  names.assign(n, "");
  for (int i = 0; i < n; ++i) {
    skip();
    const char* start = at;
    while (at < end && *at != ' ') ++at;
    names[i].assign(start, at);
    for (int j = 0; j < n; ++j) {
      skip();
      double value = 0;
      at = std::from_chars(at, end, value).ptr;
      if (j > i) d.Set(i, j, value);
    }
  }
  return d;
}

using Split = std::vector<std::uint64_t>;

// Splits of a Newick tree over `names`, each as the side without the first name.
std::set<Split> NewickSplits(const std::string& text, const std::vector<std::string>& names) {
  std::map<std::string, int> index;
  for (size_t i = 0; i < names.size(); ++i) index[names[i]] = static_cast<int>(i);
  const int words = Words(static_cast<int>(names.size()));
  std::vector<Split> stack;
  std::set<Split> splits;
  std::string token;
  auto flushName = [&] {
    if (token.empty()) return;
    Split s(words, 0);
    auto it = index.find(token);
    if (it != index.end()) s[it->second / 64] |= std::uint64_t{1} << (it->second % 64);
    stack.back() = s;
    token.clear();
  };
  stack.emplace_back(words, 0);  // the current node
  std::vector<Split> open;  // union of the children of each open group
  bool inLength = false;
  for (char c : text) {
    if (c == '\n' || c == ' ' || c == '\r') continue;
    if (c == '(') {
      open.emplace_back(words, 0);
      stack.emplace_back(words, 0);
    } else if (c == ',' || c == ')' || c == ';') {
      if (!inLength) flushName();
      inLength = false;
      if (c == ';') break;
      for (int w = 0; w < words; ++w) open.back()[w] |= stack.back()[w];
      stack.back().assign(words, 0);
      if (c == ')') {
        stack.pop_back();
        stack.back() = open.back();
        open.pop_back();
        Split s = stack.back();
        if (s[0] & 1)
          for (auto& w : s) w = ~w;
        const int n = static_cast<int>(names.size());
        if (n % 64) s[words - 1] &= (std::uint64_t{1} << (n % 64)) - 1;
        splits.insert(s);
      }
    } else if (c == ':') {
      flushName();
      inLength = true;
    } else if (!inLength) {
      token += c;
    }
  }
  return splits;
}

std::set<Split> TreeSplits(const Tree& tree) {
  const int words = Words(tree.taxa);
  const std::vector<std::uint64_t> groups = TreeGroups(tree, TreeMethod::NJ);
  std::set<Split> splits;
  for (int v = tree.taxa; v < 2 * tree.taxa - 2; ++v)
    splits.insert(Split(groups.begin() + static_cast<long>(v) * words, groups.begin() + static_cast<long>(v + 1) * words));
  return splits;
}

// Non-trivial splits only (both sides with two taxa or more).
int NonTrivial(const std::set<Split>& splits, int taxa, const std::set<Split>* within) {
  int count = 0;
  for (const Split& s : splits) {
    int bits = 0;
    for (std::uint64_t w : s) bits += __builtin_popcountll(w);
    if (bits < 2 || bits > taxa - 2) continue;
    if (!within || within->count(s)) ++count;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--genepop") == 0) {
    std::ofstream(argv[4], std::ios::binary) << GenePopText(MakeSyntheticData(std::atoi(argv[2]), std::atoi(argv[3])));
    return 0;
  }
  int rounds = 3;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
      rounds = std::atoi(argv[++i]);
    else
      sizes.push_back(std::atoi(argv[i]));
  }
  if (sizes.empty()) sizes = {500, 1000, 2000, 4000};
  const bool haveQuickTree = std::system("command -v quicktree > /dev/null 2>&1") == 0;
  if (!haveQuickTree) std::printf("quicktree not found (Debian package quicktree): timing our side only\n");

  std::printf("%6s %12s %12s %12s %12s   %s\n", "taxa", "ours NJ s", "ours all s", "QuickTree s", "ratio", "splits shared");
  for (int n : sizes) {
    const std::string matrixText = PhylipMatrix(n);
    const std::string path = "/tmp/kestova_nj_benchmark_" + std::to_string(n) + ".phy";
    const std::string treePath = path + ".nwk";
    std::ofstream(path, std::ios::binary) << matrixText;
    std::vector<double> ours, oursAll, theirs;
    std::string shared = "-";
    for (int r = 0; r < rounds; ++r) {
      auto start = Clock::now();
      std::string text;
      {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        text = s.str();
      }
      std::vector<std::string> names;
      const DistanceMatrix d = ReadPhylip(text, names);
      const auto built = Clock::now();
      const Tree tree = TreeBuilder().Build(d, TreeMethod::NJ);
      ours.push_back(Seconds(built));
      oursAll.push_back(Seconds(start));
      if (haveQuickTree) {
        start = Clock::now();
        const std::string command = "quicktree -in m -out t " + path + " > " + treePath;
        if (std::system(command.c_str()) != 0) return 1;
        theirs.push_back(Seconds(start));
        if (r == 0) {
          std::ifstream in(treePath);
          std::ostringstream s;
          s << in.rdbuf();
          const std::set<Split> mine = TreeSplits(tree);
          const std::set<Split> other = NewickSplits(s.str(), names);
          shared = std::to_string(NonTrivial(mine, n, &other)) + " of " + std::to_string(NonTrivial(mine, n, nullptr));
        }
      }
    }
    const double qt = theirs.empty() ? 0 : Median(theirs);
    std::printf("%6d %12.3f %12.3f %12.3f %12.2f   %s\n", n, Median(ours), Median(oursAll), qt,
                qt > 0 ? Median(oursAll) / qt : 0.0, shared.c_str());
    std::fflush(stdout);
    std::remove(path.c_str());
    std::remove(treePath.c_str());
  }
  std::printf("ours NJ: the tree alone; ours all: reading the file and the tree; ratio: ours all / QuickTree\n");
  return 0;
}
