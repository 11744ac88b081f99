#include "tree/view/NTreeProc.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

bool Descends(const TNode* node, WalkInto into) {
  if (node->isOTU || !node->des1 || !node->des2) return false;
  return !(into == WalkInto::NotIntoCompressed && node->compressed);
}

// Pre-order with `first` pushed last so that it is visited first.
std::vector<TNode*> Walk(TNode* top, WalkInto into, bool des1First) {
  std::vector<TNode*> out;
  if (!top) return out;
  // A subtree of `size` taxa has 2 size - 1 nodes (size is 0 until counted).
  out.reserve(top->size > 0 ? 2 * static_cast<std::size_t>(top->size) : 16);
  std::vector<TNode*> stack{top};
  while (!stack.empty()) {
    TNode* node = stack.back();
    stack.pop_back();
    out.push_back(node);
    if (!Descends(node, into)) continue;
    if (des1First) {
      stack.push_back(node->des2);
      stack.push_back(node->des1);
    } else {
      stack.push_back(node->des1);
      stack.push_back(node->des2);
    }
  }
  return out;
}

bool Marked(const TNode* node) { return node->mark; }

// Searching from `from` through nodes whose mark equals `through`: the
// largest node whose mark differs (first found on equal sizes, des1 side
// first) and whose size is above `minSize`; nil when there is none.
TNode* LargestOther(TNode* from, bool through, int minSize) {
  TNode* best = nullptr;
  std::vector<TNode*> stack{from};
  while (!stack.empty()) {
    TNode* node = stack.back();
    stack.pop_back();
    if (Marked(node) != through) {
      if (node->size > minSize && (!best || node->size > best->size)) best = node;
      continue;
    }
    if (node->isOTU) continue;
    stack.push_back(node->des2);
    stack.push_back(node->des1);
  }
  return best;
}

// The first node with a different mark reached from `from` (des1 first).
TNode* FirstOther(TNode* from, bool through) {
  std::vector<TNode*> stack{from};
  while (!stack.empty()) {
    TNode* node = stack.back();
    stack.pop_back();
    if (Marked(node) != through) return node;
    if (node->isOTU) continue;
    stack.push_back(node->des2);
    stack.push_back(node->des1);
  }
  return nullptr;
}

void ReplaceChild(TNode* parent, TNode* oldChild, TNode* newChild) {
  if (parent->des1 == oldChild)
    parent->des1 = newChild;
  else
    parent->des2 = newChild;
}

// The root slides along the two root branches; P is a root child.
void SlideRoot(TNode* P, bool midpoint) {
  if (midpoint) {
    TNode* other = SiblingOf(P);
    if (other->pathDown > P->pathDown) P = other;
  }
  TNode* S = SiblingOf(P);
  const double m = P->blen;
  double e = 0;
  double newLength = 0;
  if (midpoint) {
    const double o = P->pathUp;
    const double t = P->pathDown;
    if (std::abs(o - t) > m) return;
    const double h = (o + t - m) / 2;
    e = t - h;
    newLength = o - h;
  } else {
    e = m / 10;
    newLength = m * 9 / 10;
  }
  S->blen += e;
  S->pathDown += e;
  P->blen = newLength;
  P->pathDown -= e;
}

void CopyValues(TBranchBlock& to, const TBranchBlock& from) {
  to.stats = from.stats;
  to.statsPercent = from.statsPercent;
  to.freq = from.freq;
}

}  // namespace

std::vector<TNode*> PreOrder(TNode* top, WalkInto into) { return Walk(top, into, true); }

std::vector<TNode*> PostOrder(TNode* top, WalkInto into) {
  // The reverse of a des2-first pre-order is a des1-first post-order.
  std::vector<TNode*> out = Walk(top, into, false);
  std::reverse(out.begin(), out.end());
  return out;
}

void SwapNode(TNode*& a, TNode*& b) { std::swap(a, b); }

TNode* SiblingOf(const TNode* node) {
  if (!node || !node->anc) return nullptr;
  return node->anc->des1 == node ? node->anc->des2 : node->anc->des1;
}

void SwapPathLengths(TNode* node) { std::swap(node->pathUp, node->pathDown); }

void SetLongestPaths(TNode* root) {
  if (!root || root->isOTU) return;
  for (TNode* node : PostOrder(root)) {
    if (node == root) continue;
    node->pathDown = node->isOTU ? node->blen : std::max(node->des1->pathDown, node->des2->pathDown) + node->blen;
  }
  TNode* left = root->des1;
  TNode* right = root->des2;
  left->pathUp = right->pathDown + left->blen;
  right->pathUp = left->pathDown + right->blen;
  for (TNode* node : PreOrder(root)) {
    if (node == root || node->anc == root) continue;
    node->pathUp = std::max(node->anc->pathUp, SiblingOf(node)->pathDown) + node->blen;
  }
}

void SetClusterSizeAndOrder(TNode* node) {
  for (TNode* n : PostOrder(node)) {
    if (n->isOTU) continue;
    n->size = n->des1->size + n->des2->size;
    n->minOTU = std::min(n->des1->minOTU, n->des2->minOTU);
  }
}

void SetCondensedDepths(TNode* root, int threshold) {
  if (!root) return;
  auto step = [threshold](const TNode* child) {
    return child->IsTip() || child->statsPercent >= threshold ? child->depth + 1 : child->depth;
  };
  for (TNode* n : PostOrder(root, WalkInto::NotIntoCompressed)) {
    n->depth = n->IsTip() ? 0 : std::max(step(n->des1), step(n->des2));
  }
  if (root->IsTip()) return;
  const bool tipAtRoot = root->des1->IsTip() || root->des2->IsTip();
  if (tipAtRoot) {
    TNode* c = root->des1->depth > root->des2->depth ? root->des1 : root->des2;
    root->depth = c->statsPercent < threshold ? c->depth : c->depth + 1;
  }
  for (TNode* n : PreOrder(root, WalkInto::NotIntoCompressed)) {
    if (n == root || n->IsTip()) continue;
    if (tipAtRoot && n->anc == root) continue;
    if (n->statsPercent < threshold) n->depth = n->anc->depth;
  }
}

void SortByMinOrder(TNode* node) {
  for (TNode* n : PreOrder(node)) {
    if (n->isOTU) continue;
    if (n->des2->minOTU < n->des1->minOTU) SwapNode(n->des1, n->des2);
  }
}

TNode* FindOutgroupNode(TNode* root) {
  if (!root || root->isOTU) return root;
  for (TNode* n : PostOrder(root)) {
    if (!n->isOTU) n->mark = n->des1->mark || n->des2->mark;
  }
  if (!root->mark) return root;
  // Clear the path down to the common ancestor of the marked taxa.
  TNode* n = root;
  while (!n->isOTU && n->des1->mark != n->des2->mark) {
    n->mark = false;
    n = n->des1->mark ? n->des1 : n->des2;
  }
  if (root->mark) {
    TNode* best = LargestOther(root, true, 0);
    return best ? best : root;
  }
  TNode* q = FirstOther(root, false);
  if (!q) return root;
  if (q->size <= root->size / 2) return q;
  TNode* inside = LargestOther(q, true, root->size - q->size);
  return inside ? inside : q;
}

void ChangeRoot(TNode* R, TNode* P, bool midpoint) {
  if (!R || !P || P == R || R->isOTU) return;
  if (P->anc == R) {
    SlideRoot(P, midpoint);
    return;
  }
  TNode* C = P;
  while (C->anc && C->anc != R) C = C->anc;
  if (!C->anc) return;  // P does not hang below R
  TNode* S = SiblingOf(C);
  const double sPathUp = S->pathUp;
  const double cPathUp = C->pathUp;
  const double rootLength = C->blen + S->blen;
  const double rootSE = C->SE + S->SE;
  const TBranchBlock cBlock = C->Branch();

  // Reverse the path from P's ancestor up to C.
  TNode* D = P->anc;
  TNode* below = P;
  TBranchBlock blockBelow = P->Branch();
  TNode* node = D;
  for (;;) {
    TNode* formerAnc = node->anc;
    const TBranchBlock ownBlock = node->Branch();
    node->Branch() = blockBelow;
    SwapPathLengths(node);
    ReplaceChild(node, below, node == C ? S : formerAnc);
    node->anc = below;
    if (node == C) break;
    blockBelow = ownBlock;
    below = node;
    node = formerAnc;
  }

  S->anc = C;
  S->blen = rootLength;
  S->SE = rootSE;
  S->pathUp = sPathUp;
  S->pathDown = cPathUp;
  // The former root edge is one split; keep its support on the side that
  // stays when only the other side held it.
  if (S->stats < kNoStats && cBlock.stats >= kNoStats) CopyValues(S->Branch(), cBlock);

  D->anc = R;
  P->anc = R;
  R->des1 = P;
  R->des2 = D;

  const double K = P->blen;
  const double I = P->pathUp;
  const double J = P->pathDown;
  double f = 0;
  double g = 0;
  if (std::abs(I - J) > K) {
    if (I + J != 0) {
      g = J * K / (I + J);
      f = I * K / (I + J);
    } else {
      g = f = K / 2;
    }
  } else {
    const double h = (I + J - K) / 2;
    g = J - h;
    f = I - h;
  }
  // D already carries P's former SE and support from the reversal.
  D->blen = g;
  D->pathUp = J;
  D->pathDown = I - f;
  P->blen = f;
  P->pathUp = I;
  P->pathDown = J - g;
}
