#include "popgen/TreeBuild.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace popgen {
namespace {

// b is the best value so far, +infinity before the first pair.
bool ClearlyLess(double a, double b) {
  if (std::isinf(b)) return a < b;
  return a < b - 1e-12 * std::max(std::abs(a), std::abs(b));
}

}  // namespace

void TreeBuilder::Load(const DistanceMatrix& distances) {
  n_ = distances.Size();
  d_.resize(static_cast<size_t>(n_) * n_);
  for (int i = 0; i < n_; ++i)
    for (int j = 0; j < n_; ++j) d_[static_cast<size_t>(i) * n_ + j] = distances(i, j);
  active_.resize(n_);
  node_.resize(n_);
  for (int i = 0; i < n_; ++i) active_[i] = node_[i] = i;
}

Tree TreeBuilder::Build(const DistanceMatrix& distances, TreeMethod method) {
  assert(distances.Size() >= 2);
  Load(distances);
  return method == TreeMethod::NJ ? BuildNJ() : BuildUPGMA();
}

Tree TreeBuilder::BuildNJ() {
  Tree tree;
  tree.taxa = n_;
  tree.joins.reserve(n_ - 1);
  auto D = [this](int a, int b) -> double& { return d_[static_cast<size_t>(a) * n_ + b]; };
  rowSum_.resize(n_);
  while (active_.size() > 3) {
    const int r = static_cast<int>(active_.size());
    for (int i = 0; i < r; ++i) {
      const double* row = &d_[static_cast<size_t>(active_[i]) * n_];
      double sum = 0;
      for (int k = 0; k < r; ++k) sum += row[active_[k]];
      rowSum_[i] = sum;
    }
    int bi = 0, bj = 1;
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < r - 1; ++i) {
      const double* row = &d_[static_cast<size_t>(active_[i]) * n_];
      for (int j = i + 1; j < r; ++j) {
        const double q = (r - 2) * row[active_[j]] - rowSum_[i] - rowSum_[j];
        if (ClearlyLess(q, best)) {
          best = q;
          bi = i;
          bj = j;
        }
      }
    }
    const int a = active_[bi], b = active_[bj];
    const double dab = D(a, b);
    Join join;
    join.child[0] = node_[a];
    join.child[1] = node_[b];
    join.length[0] = dab / 2 + (rowSum_[bi] - rowSum_[bj]) / (2.0 * (r - 2));
    join.length[1] = dab - join.length[0];
    for (int k : active_)
      if (k != a && k != b) D(a, k) = D(k, a) = (D(a, k) + D(b, k) - dab) / 2;
    node_[a] = n_ + static_cast<int>(tree.joins.size());
    tree.joins.push_back(join);
    active_.erase(active_.begin() + bj);
  }
  if (n_ == 2) {
    tree.joins.push_back(Join{{0, 1}, {D(0, 1), 0}});
    return tree;
  }
  const int a = active_[0], b = active_[1], c = active_[2];
  const double dab = D(a, b), dac = D(a, c), dbc = D(b, c);
  tree.joins.push_back(Join{{node_[a], node_[b]}, {(dab + dac - dbc) / 2, (dab + dbc - dac) / 2}});
  const int centre = n_ + static_cast<int>(tree.joins.size()) - 1;
  tree.joins.push_back(Join{{node_[c], centre}, {(dac + dbc - dab) / 2, 0}});
  return tree;
}

Tree TreeBuilder::BuildUPGMA() {
  Tree tree;
  tree.taxa = n_;
  tree.joins.reserve(n_ - 1);
  auto D = [this](int a, int b) -> double& { return d_[static_cast<size_t>(a) * n_ + b]; };
  height_.assign(n_, 0.0);
  size_.assign(n_, 1);
  while (active_.size() > 1) {
    const int r = static_cast<int>(active_.size());
    int bi = 0, bj = 1;
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < r - 1; ++i) {
      const double* row = &d_[static_cast<size_t>(active_[i]) * n_];
      for (int j = i + 1; j < r; ++j)
        if (ClearlyLess(row[active_[j]], best)) {
          best = row[active_[j]];
          bi = i;
          bj = j;
        }
    }
    const int a = active_[bi], b = active_[bj];
    const double height = D(a, b) / 2;
    Join join;
    join.child[0] = node_[a];
    join.child[1] = node_[b];
    join.length[0] = height - height_[a];
    join.length[1] = height - height_[b];
    const double wa = size_[a], wb = size_[b];
    for (int k : active_)
      if (k != a && k != b) D(a, k) = D(k, a) = (wa * D(a, k) + wb * D(b, k)) / (wa + wb);
    node_[a] = n_ + static_cast<int>(tree.joins.size());
    height_[a] = height;
    size_[a] += size_[b];
    tree.joins.push_back(join);
    active_.erase(active_.begin() + bj);
  }
  return tree;
}

}  // namespace popgen
