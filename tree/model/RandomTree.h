#pragma once
// Random trees for tests and benchmarks (not part of the program).

#include <memory>
#include <random>

#include <string>

#include "tree/model/NTreeData.h"
#include "tree/model/NTreeList.h"

// Fills tree's node table with a random rooted topology: clusters are joined
// two at a time in random order, the root in the last record. Values are left
// as they are.
void RandomTopology(TTreeData& tree, std::mt19937& random);

// A random tree over n taxa with branch lengths uniform in
// [minLength, maxLength) and support counts 0..1000 on internal branches.
std::unique_ptr<TTreeData> RandomTree(int n, std::mt19937& random, double minLength = 0.001,
                                      double maxLength = 1.0);

// A list holding one RandomTree, its taxa named namePrefix1, namePrefix2, ...,
// support counted against 1000.
std::unique_ptr<TTreeList> RandomTreeList(int n, std::mt19937& random, const std::string& namePrefix,
                                          double minLength = 0.001, double maxLength = 1.0);
