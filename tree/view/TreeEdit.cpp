#include "tree/view/TreeEdit.h"

#include "tree/view/TreeFocus.h"
#include "tree/view/TreeSetup.h"

namespace {

// Pixel offset between two tree coordinates.
Coord D(Coord u, Coord v) { return PixelOf(u, -v); }

// The focused node when it has a branch to drag: a node other than the root.
const TNode* DraggedNode(const TTreeDisplay& display, int focused) {
  if (focused < 1 || focused > display.Nodes.NoOfNodes()) return nullptr;
  const TNode* F = display.Node(focused);
  return F->anc && F != display.Root ? F : nullptr;
}

bool Refused(const TTreeDisplay& display, int focused, const TNode* F, const TNode* p) {
  const TNode* A = F->anc;
  return p == A || p == A->des1 || p == A->des2 || InFocusedSubtree(display, focused, p);
}

bool Candidate(const TTreeDisplay& display, const TNode& p) { return &p != display.Root && p.anc && !p.hidden; }

}  // namespace

bool InFocusedSubtree(const TTreeDisplay& display, int focused, const TNode* node) {
  for (const TNode* n = node; n && n != display.Root; n = n->anc) {
    if (n->index == focused) return true;
  }
  return false;
}

int GraftSide(const TNode& focused) { return focused.anc && focused.anc->des1 == &focused ? 1 : -1; }

Point GraftPoint(const TTreeDisplay& display, int focused, Coord dx, Coord dy) {
  const TNode* F = DraggedNode(display, focused);
  if (!F) return {};
  const Coord h = display.PixelsPerOTU4 / 8;
  return {PixelOf(F->anc->position.x, display.Origin.x) + dx,
          PixelOf(F->position.y, display.Origin.y) + GraftSide(*F) * h + dy};
}

int FindDragDropTarget(const TTreeDisplay& display, int focused, Coord dx, Coord dy) {
  const TNode* F = DraggedNode(display, focused);
  if (!F) return 0;
  const TNode* A = F->anc;
  const Coord h = display.PixelsPerOTU4 / 8;
  const Coord gy = dy + GraftSide(*F) * h;
  for (const TNode& p : display.Nodes) {
    if (!Candidate(display, p)) continue;
    const Coord rowY = D(p.position.y, F->position.y);
    const Coord left = D(p.anc->position.x, A->position.x);
    const Coord right = D(p.position.x, A->position.x);
    bool hit = rowY - 5 <= gy && gy <= rowY + 5 && left <= dx && dx <= right;
    if (!hit) {
      const Coord ancY = D(p.anc->position.y, F->position.y);
      const bool first = p.anc->des1 == &p;
      const Coord top = first ? rowY : ancY;
      const Coord bottom = first ? ancY : rowY;
      hit = left - 5 <= dx && dx <= left + 5 && top - 5 <= gy && gy <= bottom + 5;
    }
    if (hit && !Refused(display, focused, F, &p)) return p.index;
  }
  return 0;
}

int FindClickDropTarget(const TTreeDisplay& display, int focused, Coord x, Coord y) {
  const TNode* F = DraggedNode(display, focused);
  if (!F) return 0;
  for (const TNode& p : display.Nodes) {
    if (!Candidate(display, p)) continue;
    const Coord py = PixelOf(p.position.y, display.Origin.y);
    const bool hit = py - 5 <= y && y <= py + 5 && PixelOf(p.anc->position.x, display.Origin.x) <= x &&
                     x <= PixelOf(p.position.x, display.Origin.x);
    if (hit && !Refused(display, focused, F, &p)) return p.index;
  }
  return 0;
}

void MoveSubtree(TTreeDisplay& display, TNode* F, TNode* T) {
  if (!F || !T || !F->anc || !T->anc || F == display.Root || T == display.Root) return;
  TNode* A = F->anc;
  if (T == A || T == A->des1 || T == A->des2 || InFocusedSubtree(display, F->index, T)) return;
  TNode* S = A->des1 == F ? A->des2 : A->des1;
  // S takes A's place; T takes S's slot in A.
  (A->des1 == S ? A->des1 : A->des2) = T;
  TNode* G = A->anc;
  if (!G) {
    S->anc = nullptr;
    display.Root = S;
  } else {
    (G->des1 == A ? G->des1 : G->des2) = S;
    S->anc = G;
  }
  // A takes T's place below T's ancestor.
  TNode* P = T->anc;
  (P->des1 == T ? P->des1 : P->des2) = A;
  A->anc = P;
  T->anc = A;
  MoveRootToEnd(display);
}
