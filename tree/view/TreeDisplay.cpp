#include "tree/view/TreeDisplay.h"

#include <cstdlib>

#include "platform/core/Exceptions.h"

void TNodeStore::Build(int n) {
  if (n < 2 || n > kMaxNoOfOTUs) throw ERangeError();
  const int count = 2 * n - 1;
  auto nodes = std::make_unique<TNode[]>(count);
  for (int k = 1; k <= count; ++k) {
    TNode& node = nodes[k - 1];
    node.index = k;
    if (k <= n) {
      node.isOTU = true;
      node.size = 1;
      node.minOTU = k;
    }
  }
  nodes_ = std::move(nodes);
  count_ = count;
  noOfOTUs_ = n;
}

void TNodeStore::Clear() {
  nodes_.reset();
  count_ = 0;
  noOfOTUs_ = 0;
}

TNode* TNodeStore::Node(int k) const {
  if (k < 1 || k > count_) throw ERangeError();
  return &nodes_[k - 1];
}

TTreeDisplay::TTreeDisplay() : wholeTree_(std::make_unique<TNodeAttrib>()) {
  AttribList.push_back(wholeTree_.get());
  PixelsPerOTU4 = 6 * std::abs(wholeTree_->NameFont.Height);
}

bool IsLowerTriangular(const TDistanceMatrix& matrix, int n) {
  if (static_cast<int>(matrix.size()) < n) return false;
  for (int i = 0; i < n; ++i) {
    if (static_cast<int>(matrix[i].size()) < i + 1) return false;
  }
  return true;
}
