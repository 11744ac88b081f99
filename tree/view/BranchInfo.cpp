// Texts along the branches of the tree picture: support values (a layer of
// their own in the traditional style, per node in the radiation and circle
// styles), branch lengths and character states. Each layer makes its own
// font from a font setting of the control and gives back the device's font
// and text colour afterwards.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/core/NumberFormat.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeDrawing_p.h"

namespace tree_picture {

namespace {

constexpr double kPi = std::numbers::pi;

// Selects a font and a text colour for one layer and gives back what was
// there before, however the layer ends.
class LayerFont {
 public:
  LayerFont(DeviceContext& dc, FontHandle font, TColor color)
      : dc_(dc), font_(font), oldFont_(dc.SelectObject(font)), oldColor_(dc.SetTextColor(color)) {}
  ~LayerFont() {
    dc_.SetTextColor(oldColor_);
    dc_.SelectObject(oldFont_);
    dc_.DeleteObject(font_);
  }
  LayerFont(const LayerFont&) = delete;
  LayerFont& operator=(const LayerFont&) = delete;

 private:
  DeviceContext& dc_;
  FontHandle font_;
  FontHandle oldFont_;
  TColor oldColor_;
};

Coord BranchLength4(const TNode* from, const TNode* to) {
  return static_cast<Coord>(std::hypot(static_cast<double>(to->position.x - from->position.x),
                                       static_cast<double>(to->position.y - from->position.y)));
}

}  // namespace

// The width of the pen a branch below the labelled node is drawn with.
Coord TTreeDrawer::ChildPenWidth(const TNode* c) const {
  if (!c || c == d_.Root || !c->anc) return 0;
  const TNodeAttrib& own = AttribOf(c);
  if (own.BranchColoring == 0) return own.BranchPen.Width;
  const TNode* w = c->anc;
  while (w != d_.Root && w->anc && (AttribOf(w).BranchColoring == 3 || w->hidden)) w = w->anc;
  return AttribOf(w).BranchPen.Width;
}

void TTreeDrawer::DrawStats() {
  const TFontData& sf = d_.StatsFont;
  LayerFont layer(dc_, MakeFont(sf), sf.Color);
  const TNode* root = d_.Root;
  const bool bothInternal = !root->des1->isOTU && !root->des2->isOTU;
  // An unrooted tree shows the support of its root split once, on the side
  // drawn further right.
  const TNode* rightChild = root->des1->position.x >= root->des2->position.x ? root->des1 : root->des2;
  const int n = d_.NoOfOTUs();
  for (int k = n + 1; k <= 2 * n - 1; ++k) {
    const TNode* q = d_.Node(k);
    if (q == root || q->hidden || !q->anc) continue;
    if (q->anc == root && !RootStubShown() && !(bothInternal && q == rightChild)) continue;
    // -1 means no support at all, whatever the cut-off.
    if (q->statsPercent < o_.StatsCutoff || q->statsPercent < 0) continue;
    const std::string text = IntToStr(q->statsPercent);
    const Coord tw = TextWidth4(sf, text);
    const TNode* c = o_.StatsPosition == TBranchInfoPosition::bipAboveBranch   ? q->des1
                     : o_.StatsPosition == TBranchInfoPosition::bipBelowBranch ? q->des2
                     : q == q->anc->des1                                       ? q->des1
                                                                               : q->des2;
    const Coord e = 2 * ChildPenWidth(c);
    const Coord span = q->position.x - q->anc->position.x;
    Coord l;
    if (d_.StatsMarginX < -(e + tw + 8))
      l = -(e + tw + 8);
    else if (span + e < d_.StatsMarginX)
      l = e + span;
    else
      l = e + d_.StatsMarginX;
    const Coord x = q->position.x - tw - l;
    const Coord ys = 2 * Coord{GetBranchPenWidth(d_, *q)} + d_.StatsMarginY;
    bool above;
    switch (o_.StatsPosition) {
      case TBranchInfoPosition::bipAboveBranch:
        above = true;
        break;
      case TBranchInfoPosition::bipBelowBranch:
        above = false;
        break;
      default:
        above = (o_.Flags.isBranchLength && d_.ShowBLen) || q->anc->position.y >= q->position.y;
        break;
    }
    const Coord y = above ? q->position.y - ys : q->position.y + ys + Abs(5 * Coord{sf.Height});
    TextAt(x, y, text);
  }
}

void TTreeDrawer::DrawStatsRadial(const TNode* n) {
  if (n == d_.Root || !n->anc) return;
  const TNode* p = n->anc;
  const TNode* sibling = n == p->des1 ? p->des2 : p->des1;
  // The two root branches are one split: its support goes on the side with
  // the narrower sector, the first on a tie, so it is written once.
  if (p == d_.Root) {
    const bool narrower = n->sector < sibling->sector || (n->sector == sibling->sector && n == p->des1);
    if (p->des1->isOTU || p->des2->isOTU || !narrower) return;
  }
  if (n->statsPercent < o_.StatsCutoff || n->statsPercent < 0) return;
  const TFontData& sf = d_.StatsFont;
  const std::string text = IntToStr(n->statsPercent);
  const double a = n->angle;
  // Text that would read upside down is turned half a circle.
  const bool flip = (a > kPi / 2 && a < 3 * kPi / 2) || (a > -3 * kPi / 2 && a < -kPi / 2);
  const double t = flip ? a + kPi : a;
  LayerFont layer(dc_, MakeFont(sf, CheckedInt32(R(t / (2 * kPi) * 3600))), sf.Color);
  const Coord textPx = m_.TextWidth(sf, text);
  const Coord tw = 4 * textPx;
  const Coord pen = GetBranchPenWidth(d_, *n);
  const Coord A = -(2 * pen + d_.StatsMarginX + tw);
  Coord O = -(2 * pen + d_.StatsMarginY);
  const Coord h = Abs(sf.Height);
  const bool first = n == p->des1;
  bool move;
  if (IsStyle(TTreeStyle::tsCircle)) {
    move = flip ? first : !first;
  } else {
    const bool isShort = BranchLength4(p, n) < 2 * tw + d_.StatsMarginX + pen;
    auto big = [&](const TNode* child) {
      if (!child || child->isOTU) return false;
      const Coord childPx = m_.TextWidth(sf, IntToStr(child->statsPercent));
      return BranchLength4(n, child) < 4 * (childPx + h) + d_.StatsMarginX + pen;
    };
    const bool big1 = !n->isOTU && big(n->des1);
    const bool big2 = !n->isOTU && big(n->des2);
    const bool wide = (p != d_.Root && p->sector <= 2 * kPi / 3) || n->sector >= kPi / 3;
    const bool shortRule = wide ? (first ? flip : !flip) : (first ? !flip : flip);
    if (isShort || big1 == big2)
      move = shortRule;
    else if (flip)
      move = big2 ? wide : false;
    else
      move = big1 ? wide : false;
  }
  if (move) O = 5 * h - O;
  const double cs = std::cos(t), sn = std::sin(t);
  const double Ad = static_cast<double>(A), Od = static_cast<double>(O);
  Coord x, y;
  if (!flip) {
    x = n->position.x + R(Od * sn + Ad * cs);
    y = n->position.y - R(Ad * sn - Od * cs);
  } else {
    x = n->position.x - R(Ad * cs - Od * sn) - R(static_cast<double>(tw) * cs);
    y = n->position.y + R(Od * cs + Ad * sn) + R(static_cast<double>(tw) * sn);
  }
  TextAt(x, y, text);
}

void TTreeDrawer::DrawBranchLengths() {
  const TFontData& sf = d_.StatsFont;
  LayerFont layer(dc_, MakeFont(sf), sf.Color);
  const bool linear = d_.Linearized();
  const int decimals = std::clamp(d_.BLenDecimals, 0, 18);
  const Coord h5 = Abs(5 * Coord{sf.Height});
  const bool straight = d_.BranchStyle == TBranchStyle::bsStraight;
  for (const TNode& node : d_.Nodes) {
    const TNode* n = &node;
    if (n == d_.Root || n->hidden || !n->anc) continue;
    const TNode* a = n->anc;
    const double value = linear ? a->height - n->height : n->blen;
    if (!d_.Cladogram && (value < o_.BLenCutoff || (linear && n->blen < o_.BLenCutoff))) continue;
    const std::string text = FloatToStrF(value, TFloatFormat::ffFixed, 15, decimals, o_.DecimalSeparator);
    const Coord tw = TextWidth4(sf, text);
    const Coord ys = 2 * Coord{GetBranchPenWidth(d_, *n)} + (3 * Abs(sf.Height)) / 4;
    const Coord x = (a->position.x + n->position.x - tw) / 2;
    const bool firstChild = n == a->des1;
    bool below;
    if (o_.BLenPosition == TBranchInfoPosition::bipBelowBranch)
      below = true;
    else if (o_.BLenPosition == TBranchInfoPosition::bipAboveBranch)
      below = false;
    else if (StatsShown())
      below = true;
    else
      below = !(firstChild || (n->isOTU && a != d_.Root));
    Coord y;
    if (straight && a->position.x < x) {
      // The label follows the diagonal branch.
      const double f = static_cast<double>(n->position.x - x) / static_cast<double>(n->position.x - a->position.x);
      const Coord df = R(static_cast<double>(a->position.y - n->position.y) * f);
      if (firstChild)
        y = below ? n->position.y + df + ys + h5 : a->position.y - df - ys;
      else
        y = below ? a->position.y - df + ys + h5 : n->position.y + df - ys;
    } else {
      y = below ? n->position.y + ys + h5 : n->position.y - ys;
    }
    TextAt(x, y, text);
  }
}

void TTreeDrawer::DrawCharStates() {
  const TFontData& cf = d_.CharStateFont;
  LayerFont layer(dc_, MakeFont(cf), cf.Color);
  const Coord h = Abs(cf.Height);
  for (const TNode& node : d_.Nodes) {
    const TNode* n = &node;
    if (n->hidden || n->charState.empty()) continue;
    if (n == d_.Root && !d_.isRooted) continue;
    const Coord k = h + 2 * (n->IsTip() ? Coord{GetBranchPenWidth(d_, *n)} : ChildPenWidth(n));
    TextAt(n->position.x + k, n->position.y + 2 * h, n->charState);
  }
}

}  // namespace tree_picture
