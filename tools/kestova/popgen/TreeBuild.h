#pragma once
// Neighbour-joining and UPGMA trees from a distance matrix.
//
// A tree over N taxa is N-1 joins. Taxa are nodes 0..N-1 and join j creates
// node N+j from two earlier nodes; the last join is the root. A branch is
// named by the node below it.
//
// UPGMA (average linkage) joins the closest pair of clusters at half their
// distance; a child's branch is the height of the join minus the child's
// height. The tree is rooted.
//
// Neighbour-joining (Saitou and Nei 1987) in the form of Studier and Keppler
// (1988): with r active nodes and R_i the sum of row i, it joins the pair
// minimising Q_ij = (r-2) d_ij - R_i - R_j, with lengths
// d_ij/2 + (R_i - R_j)/(2(r-2)) and the rest of d_ij, and sets
// d_uk = (d_ik + d_jk - d_ij)/2. The last three nodes a, b, c (in active
// order) meet at a centre: join N-3 is (a, b) - the centre - and the root
// join holds c with its whole branch and the centre with a branch of 0, so
// the unrooted tree is written as a binary one. With N = 2 the root join holds
// taxon 0 with the whole distance and taxon 1 with 0.
//
// Ties: pairs (i, j), i before j, are taken in the order of the active list
// (taxa in input order; a new node takes the place of the first of its pair),
// and the first pair whose value is within a relative 1e-12 of the smallest
// wins, so that rounding does not break ties at random. Negative distances
// and branch lengths are carried as they are.
//
// Cost: O(N^3) time in one pass over the pairs per join, written so that the
// compiler can vectorise it, and N(N-1)/2 doubles of working storage (none
// with BuildInPlace).

#include <vector>

#include "popgen/Distances.h"

namespace popgen {

enum class TreeMethod { NJ, UPGMA };

struct Join {
  int child[2] = {0, 0};
  double length[2] = {0, 0};
};

struct Tree {
  int taxa = 0;
  std::vector<Join> joins;  // taxa - 1 joins; the last is the root

  int Nodes() const { return 2 * taxa - 1; }
};

// Keeps its working storage between calls, so that bootstrap replicates do not
// allocate. Requires a matrix of size 2 or more.
class TreeBuilder {
 public:
  Tree Build(const DistanceMatrix& distances, TreeMethod method);
  // The same tree, working in the matrix's own storage: afterwards the matrix
  // keeps its size but its values are undefined.
  Tree BuildInPlace(DistanceMatrix& distances, TreeMethod method);

 private:
  Tree Run(TreeMethod method);
  Tree BuildNJ();
  Tree BuildUPGMA();
  void Start();
  double& D(int i, int j);  // i != j, both live
  void FindPair(double scale, int& a, int& b);
  void Remove(int slot);
  void Compact();
  void SumRows();

  // Slots are the rows of the working triangle d_ (width w_); the live ones,
  // in slot order, are the active list. Dead slots are squeezed out when they
  // become a quarter of the width.
  bool nj_ = true;
  int n_ = 0;
  int w_ = 0;
  int live_ = 0;
  std::vector<double> d_;
  std::vector<size_t> row_;     // d_[row_[i] + j] is (i, j) for j > i
  std::vector<char> alive_;
  std::vector<int> node_;       // node held by each slot
  // Subtracted from every pair value with the slot as its second member:
  // the row sum for neighbour-joining, 0 for UPGMA, -infinity for a dead slot.
  std::vector<double> bias_;
  std::vector<double> rowMin_;  // per slot, the smallest value of its row
  std::vector<double> height_;
  std::vector<int> size_;
};

}  // namespace popgen
