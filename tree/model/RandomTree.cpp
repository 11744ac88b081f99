#include "tree/model/RandomTree.h"

#include <vector>

void RandomTopology(TTreeData& tree, std::mt19937& random) {
  const int n = tree.NoOfOTUs();
  std::vector<int> clusters(n);
  for (int t = 0; t < n; ++t) clusters[t] = t;
  auto nodes = tree.NodeArray();
  for (int k = 0; k < n - 1; ++k) {
    const int i = std::uniform_int_distribution<int>(0, static_cast<int>(clusters.size()) - 1)(random);
    std::swap(clusters[i], clusters.back());
    const int a = clusters.back();
    clusters.pop_back();
    const int j = std::uniform_int_distribution<int>(0, static_cast<int>(clusters.size()) - 1)(random);
    nodes[k] = {static_cast<int16_t>(a), static_cast<int16_t>(clusters[j])};
    clusters[j] = n + k;
  }
}

std::unique_ptr<TTreeData> RandomTree(int n, std::mt19937& random, double minLength, double maxLength) {
  auto tree = std::make_unique<TTreeData>(n, true, false, true);
  RandomTopology(*tree, random);
  std::uniform_real_distribution<double> length(minLength, maxLength);
  std::uniform_int_distribution<int> support(0, 1000);
  for (int k = 0; k < 2 * n - 2; ++k) {
    tree->BLen()[k] = length(random);
    tree->Stats()[k] = k < n ? 0 : support(random);
  }
  return tree;
}

std::unique_ptr<TTreeList> RandomTreeList(int n, std::mt19937& random, const std::string& namePrefix,
                                          double minLength, double maxLength) {
  auto list = std::make_unique<TTreeList>();
  for (int i = 0; i < n; ++i) list->SetOTUName(i, namePrefix + std::to_string(i + 1));
  list->MaxStats = 1000;
  list->Add(RandomTree(n, random, minLength, maxLength));
  return list;
}
