// Tallies 10,000 trees of 100 taxa and builds their consensus, printing the
// time of each step and the peak memory of the process.
//
//   kestova_partition_benchmark [bootstrap|random] [trees] [taxa]
//
// "bootstrap" (the default) draws every tree from one reference tree by a few
// random nearest-neighbour interchanges and a random root, as bootstrap
// replicates of one data set look; "random" draws independent random trees,
// the worst case, in which nearly every split is new.

#include <chrono>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"
#include "tree/model/NPartitionList.h"
#include "tree/model/RandomTree.h"

namespace {

using Clock = std::chrono::steady_clock;

// Peak resident memory of the process in kB (VmHWM), 0 when unknown.
int PeakMemoryKB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return StrToIntDef(Trim(StringReplace(line.substr(6), "kB", "")), 0);
  return 0;
}

std::string Seconds(Clock::duration d) {
  return FloatToStrF(std::chrono::duration<double>(d).count(), TFloatFormat::ffFixed, 15, 3, '.') + " s";
}

std::string MB(int kB) { return FloatToStrF(kB / 1024.0, TFloatFormat::ffFixed, 15, 1, '.') + " MB"; }

std::unique_ptr<TTreeData> TopologyTree(int n, std::mt19937& random) {
  auto tree = std::make_unique<TTreeData>(n, true, false, false);
  RandomTopology(*tree, random);
  return tree;
}

// A nearest-neighbour interchange at internal node x (not the root): one of
// x's children trades places with x's sibling.
void Interchange(TTreeData& tree, int x, std::mt19937& random) {
  const int n = tree.NoOfOTUs();
  auto nodes = tree.NodeArray();
  int parent = -1;
  for (int k = 0; k < n - 1 && parent < 0; ++k)
    if (nodes[k].des1 == x || nodes[k].des2 == x) parent = k;
  TNodeRecord& p = nodes[parent];
  int16_t& sibling = p.des1 == x ? p.des2 : p.des1;
  TNodeRecord& own = nodes[x - n];
  int16_t& child = std::uniform_int_distribution<int>(0, 1)(random) ? own.des1 : own.des2;
  std::swap(sibling, child);
}

// Replicates of a reference tree: up to eight interchanges each, random
// lengths, and the root moved by interchanges at the root's children.
std::vector<std::unique_ptr<TTreeData>> BootstrapTrees(int count, int n, std::mt19937& random) {
  const auto reference = TopologyTree(n, random);
  std::vector<std::unique_ptr<TTreeData>> trees;
  std::uniform_int_distribution<int> internal(n, 2 * n - 3);
  for (int i = 0; i < count; ++i) {
    auto tree = std::make_unique<TTreeData>(n, true, false, false);
    tree->Assign(*reference);
    const int moves = std::uniform_int_distribution<int>(0, 8)(random);
    for (int m = 0; m < moves; ++m) Interchange(*tree, internal(random), random);
    trees.push_back(std::move(tree));
  }
  return trees;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string scenario = argc > 1 ? argv[1] : "bootstrap";
  const int count = argc > 2 ? StrToIntDef(argv[2], 10000) : 10000;
  const int n = argc > 3 ? StrToIntDef(argv[3], 100) : 100;
  if ((scenario != "bootstrap" && scenario != "random") || count < 1 || n < 4 || n > kMaxNoOfOTUs) {
    std::cerr << "usage: kestova_partition_benchmark [bootstrap|random] [trees] [taxa 4..16384]\n";
    return 2;
  }

  std::mt19937 random(12345);
  std::vector<std::unique_ptr<TTreeData>> trees;
  if (scenario == "random") {
    for (int i = 0; i < count; ++i) trees.push_back(TopologyTree(n, random));
  } else {
    trees = BootstrapTrees(count, n, random);
  }
  std::uniform_int_distribution<int> length(1, 100);
  for (auto& tree : trees) {
    tree->Freq = 1;
    for (double& v : tree->BLen()) v = length(random) / 1000.0;
  }
  const int memoryBefore = PeakMemoryKB();

  const auto start = Clock::now();
  TPartitionList list(n, count);
  for (const auto& tree : trees) list.AddTree(*tree, false);
  const auto tallied = Clock::now();
  TTreeData consensus(n, true, false, true);
  list.BuildConsensusTree(consensus);
  const auto built = Clock::now();
  const int memoryAfter = PeakMemoryKB();

  std::cout << "scenario       " << scenario << ", " << IntToStr(count) << " trees of " << IntToStr(n) << " taxa\n"
            << "splits         " << IntToStr(list.NoOfPartitions()) << "\n"
            << "topologies     " << IntToStr(list.NoOfTopologies()) << "\n"
            << "total weight   " << FloatToStr(list.TotalFrequency(), '.') << "\n"
            << "tally          " << Seconds(tallied - start) << "\n"
            << "consensus      " << Seconds(built - tallied) << "\n"
            << "total          " << Seconds(built - start) << "\n"
            << "peak memory    " << MB(memoryAfter) << " (" << MB(memoryBefore) << " held by the input trees)\n";
  return 0;
}
