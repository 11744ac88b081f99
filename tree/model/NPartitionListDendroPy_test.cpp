// Cross-check of the majority groups against DendroPy: the same Newick trees
// are read here and by DendroPy's majority-rule consensus, and the groups of
// more than half the trees must agree, and all stand in our consensus tree.
// Skipped where DendroPy (Debian package python3-dendropy) is missing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/core/StringList.h"
#include "platform/ui/DialogService.h"
#include "tree/model/NPartitionList.h"
#include "tree/model/NTreeList.h"

namespace {

using Group = std::set<std::string>;

// A group as the side without `reference`, so that a split and its
// complement compare equal.
Group Normalised(Group group, const std::vector<std::string>& all, const std::string& reference) {
  if (!group.count(reference)) return group;
  Group other;
  for (const std::string& name : all)
    if (!group.count(name)) other.insert(name);
  return other;
}

// A random Newick tree over the names: groups of two or three are joined
// until three or fewer remain, which form the root.
std::string RandomNewick(std::vector<std::string> items, std::mt19937& random) {
  while (items.size() > 3) {
    std::shuffle(items.begin(), items.end(), random);
    const size_t k = std::min<size_t>(items.size() - 1, std::uniform_int_distribution<int>(0, 3)(random) ? 2 : 3);
    std::string group = "(";
    for (size_t i = 0; i < k; ++i) group += (i ? "," : "") + items[items.size() - 1 - i];
    items.resize(items.size() - k);
    items.push_back(group + ")");
  }
  std::string text = "(";
  for (size_t i = 0; i < items.size(); ++i) text += (i ? "," : "") + items[i];
  return text + ");";
}

std::set<Group> DendroPyMajority(const std::string& path, const std::vector<std::string>& all, bool& skipped) {
  const std::string command = "/usr/bin/python3 " KESTOVA_TREEMODEL_TESTDATA "/dendropy_majority.py " + path;
  std::set<Group> groups;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    skipped = true;
    return groups;
  }
  std::string output;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  const int status = pclose(pipe);
  skipped = status != 0 || output.rfind("SKIP", 0) == 0;
  TStringList lines;
  lines.SetText(output);
  for (int i = 0; i < lines.Count(); ++i) {
    if (lines[i].empty()) continue;
    TStringList names;
    names.SetCommaText(lines[i]);
    groups.insert(Normalised(Group(names.Lines().begin(), names.Lines().end()), all, all.back()));
  }
  return groups;
}

class DendroPyCrossCheck : public ::testing::Test {
 protected:
  ScriptedDialogService dialogs_;
  ScopedDialogService scope_{dialogs_};
};

TEST_F(DendroPyCrossCheck, MajorityGroupsAgree) {
  std::vector<std::string> texts = {
      // {A,B,C} in 6 of 10 trees, behind a lighter group that conflicts.
      "(((A,B),C),(D,E),(F,G));(((A,B),C),(D,E),(F,G));(((A,C),B),(D,F),(E,G));(((A,C),B),(D,F),(E,G));"
      "(((B,C),A),(D,G),(E,F));(((B,C),A),(D,G),(E,F));(((C,D),A),B,(E,(F,G)));(((C,D),A),B,(F,(E,G)));"
      "(((C,D),B),A,(G,(E,F)));(((C,D),B),A,(E,(F,G)));",
      // Stars have no groups.
      "(A,B,C,D,E,F);(A,B,C,D,E,F);(A,B,C,D,E,F);(A,B,C,D,E,F);(A,B,C,D,E,F);((A,B),C,D,(E,F));"
      "((A,B),C,D,(E,F));",
  };
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    const int n = std::uniform_int_distribution<int>(5, 14)(random);
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i) names.push_back("T" + std::to_string(i));
    const std::string base1 = RandomNewick(names, random), base2 = RandomNewick(names, random);
    const int count = 2 * std::uniform_int_distribution<int>(2, 7)(random) + 1;  // no ties at one half
    std::string text;
    for (int i = 0; i < count; ++i) {
      const int kind = std::uniform_int_distribution<int>(0, 3)(random);
      text += kind == 0 ? base1 : kind == 1 ? base2 : RandomNewick(names, random);
      text += "\n";
    }
    texts.push_back(text);
  }

  // A name of this process's own: suites running side by side share the folder.
  const auto path = std::filesystem::temp_directory_path() /
                    ("kestova_dendropy_cross_check_" + std::to_string(::getpid()) + ".nwk");
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    TTreeList list;
    ASSERT_TRUE(list.ImportFromNewick(text, nullptr));
    const int n = list.NoOfOTUs();
    const std::vector<std::string> all = list.OTUNames.Lines();
    {
      std::ofstream out(path, std::ios::binary);
      out << text;
    }
    bool skipped = false;
    const std::set<Group> theirs = DendroPyMajority(path.string(), all, skipped);
    if (skipped) GTEST_SKIP() << "DendroPy is not installed";

    TPartitionList tally(n, 0);
    for (int t = 0; t < list.NoOfTrees(); ++t) tally.AddTree(list.Items(t), false);
    std::set<Group> ours;
    for (const TPartition& split : tally.Partitions()) {
      if (2 * split.Freq <= list.NoOfTrees()) continue;
      Group group;
      for (int t = 0; t < n; ++t)
        if (split.GetBit(t)) group.insert(all[t]);
      ours.insert(group);
    }
    EXPECT_EQ(ours, theirs);

    // Every majority group is a group of the consensus tree.
    TTreeData consensus(n, false, false, true);
    tally.BuildConsensusTree(consensus);
    std::vector<Group> below(2 * n - 1);
    for (int t = 0; t < n; ++t) below[t] = {all[t]};
    std::set<Group> built;
    for (int k = 0; k < n - 1; ++k) {
      const TNodeRecord node = consensus.GetNode(k);
      below[n + k] = below[node.des1];
      below[n + k].insert(below[node.des2].begin(), below[node.des2].end());
      built.insert(Normalised(below[n + k], all, all.back()));
    }
    for (const Group& group : theirs) EXPECT_TRUE(built.count(group));
  }
  std::filesystem::remove(path);
}

}  // namespace
