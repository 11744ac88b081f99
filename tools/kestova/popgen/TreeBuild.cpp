#include "popgen/TreeBuild.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <utility>

namespace popgen {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The smallest of scale * d[j] - bias[j], j < count. Four independent
// minima, so that the loop vectorises without reassociating anything: the
// minimum of a set does not depend on the order it is taken in.
double RowMinimum(const double* d, const double* bias, double scale, int count) {
  double m[4] = {kInfinity, kInfinity, kInfinity, kInfinity};
  int j = 0;
  for (; j + 4 <= count; j += 4)
    for (int k = 0; k < 4; ++k) {
      const double q = scale * d[j + k] - bias[j + k];
      m[k] = q < m[k] ? q : m[k];
    }
  for (; j < count; ++j) {
    const double q = scale * d[j] - bias[j];
    m[0] = q < m[0] ? q : m[0];
  }
  return std::min(std::min(m[0], m[1]), std::min(m[2], m[3]));
}

}  // namespace

double& TreeBuilder::D(int i, int j) { return i < j ? d_[row_[i] + j] : d_[row_[j] + i]; }

Tree TreeBuilder::Build(const DistanceMatrix& distances, TreeMethod method) {
  assert(distances.Size() >= 2);
  n_ = distances.Size();
  d_.assign(distances.values_.begin(), distances.values_.end());
  return Run(method);
}

Tree TreeBuilder::BuildInPlace(DistanceMatrix& distances, TreeMethod method) {
  assert(distances.Size() >= 2);
  n_ = distances.Size();
  std::swap(d_, distances.values_);
  Tree tree = Run(method);
  std::swap(d_, distances.values_);
  return tree;
}

Tree TreeBuilder::Run(TreeMethod method) {
  w_ = live_ = n_;
  row_.resize(n_);
  for (int i = 0; i < n_; ++i) row_[i] = DistanceMatrix::Index(n_, i, i + 1) - static_cast<size_t>(i + 1);
  alive_.assign(n_, 1);
  node_.resize(n_);
  for (int i = 0; i < n_; ++i) node_[i] = i;
  bias_.assign(n_, 0.0);
  rowMin_.resize(n_);
  nj_ = method == TreeMethod::NJ;
  return nj_ ? BuildNJ() : BuildUPGMA();
}

// Finds the pair (a, b), a < b, that minimises scale * d_ab - bias_a - bias_b.
void TreeBuilder::FindPair(double scale, int& a, int& b) {
  double best = kInfinity;
  for (int i = 0; i + 1 < w_; ++i) {
    if (!alive_[i]) continue;
    rowMin_[i] = RowMinimum(&d_[row_[i] + i + 1], &bias_[i + 1], scale, w_ - i - 1) - bias_[i];
    best = std::min(best, rowMin_[i]);
  }
  // The first pair that counts as equal to the smallest; the values are
  // recomputed by the same expression, so the search ends on a row.
  const double limit = best + 1e-12 * std::abs(best);
  for (int i = 0; i + 1 < w_; ++i) {
    if (!alive_[i] || !(rowMin_[i] <= limit)) continue;
    // (i, i+1) onwards; row_[i] alone may point before the array.
    const double* d = &d_[row_[i] + i + 1];
    for (int j = i + 1; j < w_; ++j)
      if (scale * d[j - i - 1] - bias_[j] - bias_[i] <= limit) {
        a = i;
        b = j;
        return;
      }
  }
  // Only reached when no value is below infinity; any live pair will do.
  a = b = -1;
  for (int i = 0; i < w_ && b < 0; ++i)
    if (alive_[i]) (a < 0 ? a : b) = i;
}

void TreeBuilder::Remove(int slot) {
  alive_[slot] = 0;
  bias_[slot] = -kInfinity;
  --live_;
  if (live_ > 8 && live_ * 4 < w_ * 3) Compact();
}

// Squeezes the dead slots out, keeping the order. Every kept value moves to
// an earlier or the same place, so the copy runs forward in place.
void TreeBuilder::Compact() {
  std::vector<int> kept;
  kept.reserve(live_);
  for (int i = 0; i < w_; ++i)
    if (alive_[i]) kept.push_back(i);
  const int w = static_cast<int>(kept.size());
  size_t at = 0;
  for (int i = 0; i < w; ++i)
    for (int j = i + 1; j < w; ++j) d_[at++] = d_[row_[kept[i]] + kept[j]];
  for (int i = 0; i < w; ++i) {
    node_[i] = node_[kept[i]];
    if (!nj_) {
      height_[i] = height_[kept[i]];
      size_[i] = size_[kept[i]];
    }
  }
  w_ = w;
  for (int i = 0; i < w_; ++i) {
    row_[i] = DistanceMatrix::Index(w_, i, i + 1) - static_cast<size_t>(i + 1);
    alive_[i] = 1;
  }
  if (nj_)
    SumRows();
  else
    std::fill(bias_.begin(), bias_.begin() + w_, 0.0);
}

// Row sums afresh; between compactions they are updated join by join.
void TreeBuilder::SumRows() {
  std::fill(bias_.begin(), bias_.begin() + w_, 0.0);
  for (int i = 0; i < w_; ++i)
    for (int j = i + 1; j < w_; ++j) {
      bias_[i] += D(i, j);
      bias_[j] += D(i, j);
    }
}

Tree TreeBuilder::BuildNJ() {
  Tree tree;
  tree.taxa = n_;
  tree.joins.reserve(n_ - 1);
  SumRows();
  while (live_ > 3) {
    const int r = live_;
    int a, b;
    FindPair(r - 2, a, b);
    const double dab = D(a, b);
    Join join;
    join.child[0] = node_[a];
    join.child[1] = node_[b];
    join.length[0] = dab / 2 + (bias_[a] - bias_[b]) / (2.0 * (r - 2));
    join.length[1] = dab - join.length[0];
    // The new node's distances, and every row sum kept up to date by the
    // change in its two terms.
    double sum = 0;
    for (int k = 0; k < w_; ++k) {
      if (!alive_[k] || k == a || k == b) continue;
      double& dak = D(a, k);
      const double dbk = D(b, k);
      const double duk = (dak + dbk - dab) / 2;
      bias_[k] += duk - dak - dbk;
      dak = duk;
      sum += duk;
    }
    bias_[a] = sum;
    node_[a] = n_ + static_cast<int>(tree.joins.size());
    tree.joins.push_back(join);
    Remove(b);
  }
  if (n_ == 2) {
    tree.joins.push_back(Join{{0, 1}, {D(0, 1), 0}});
    return tree;
  }
  int slot[3], found = 0;
  for (int i = 0; i < w_; ++i)
    if (alive_[i]) slot[found++] = i;
  const int a = slot[0], b = slot[1], c = slot[2];
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
  height_.assign(n_, 0.0);
  size_.assign(n_, 1);
  while (live_ > 1) {
    int a, b;
    FindPair(1, a, b);
    const double height = D(a, b) / 2;
    Join join;
    join.child[0] = node_[a];
    join.child[1] = node_[b];
    join.length[0] = height - height_[a];
    join.length[1] = height - height_[b];
    const double wa = size_[a], wb = size_[b];
    for (int k = 0; k < w_; ++k)
      if (alive_[k] && k != a && k != b) D(a, k) = (wa * D(a, k) + wb * D(b, k)) / (wa + wb);
    node_[a] = n_ + static_cast<int>(tree.joins.size());
    height_[a] = height;
    size_[a] += size_[b];
    tree.joins.push_back(join);
    Remove(b);
  }
  return tree;
}

}  // namespace popgen
