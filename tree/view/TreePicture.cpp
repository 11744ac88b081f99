#include "tree/view/TreePicture.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "tree/view/TreeDrawing_p.h"

namespace tree_picture {

Coord R(double value) {
  if (!std::isfinite(value)) throw EIntOverflow();
  return RoundHalfEven(value);
}

TTreeDrawer::TTreeDrawer(DeviceContext& dc, const TTreeDisplay& display, const TTreePictureOptions& options,
                         const TextMeasurer& measurer)
    : dc_(dc), d_(display), o_(options), m_(measurer) {}

// After an error part-way the device keeps no object of ours selected or
// alive, so a caller drawing on a device of its own can go on using it.
TTreeDrawer::~TTreeDrawer() {
  try {
    ReleaseSet();
  } catch (...) {
  }
}

void TTreeDrawer::DrawAll() {
  if (!d_.TreePresent || !d_.Root || d_.Root->isOTU) return;
  NodePass();
  if (Traditional())
    DrawMarkers();
  else
    DrawMarkersRadial();
  if (StatsShown() && Traditional()) DrawStats();
  if (!d_.Condensed && o_.Flags.isBranchLength && d_.ShowBLen && Traditional()) DrawBranchLengths();
  if (CharStatesShown()) DrawCharStates();
  if (IsStyle(TTreeStyle::tsCircle))
    DrawCircleScale();
  else
    DrawScale();
  names_.clear();
}

bool TTreeDrawer::CharStatesShown() const {
  return d_.ShowCharState && Traditional() && d_.BranchStyle == TBranchStyle::bsRectangular;
}

Coord TTreeDrawer::TextWidth4(const TFontData& font, std::string_view text) const {
  return 4 * Coord{m_.TextWidth(font, text)};
}

Coord TTreeDrawer::TextHeightOf(const TFontData& font, std::string_view text) const {
  for (const auto& [f, h] : heights_) {
    if (f == font) return h;
  }
  const Coord h = m_.TextHeight(font, text);
  heights_.emplace_back(font, h);
  return h;
}

// ---- Attributes and drawing sets ----

const TNodeAttrib& TTreeDrawer::Attrib(int index) const {
  if (index >= 0) {
    if (index < static_cast<int>(d_.AttribList.size()) && d_.AttribList[index]) return *d_.AttribList[index];
  } else {
    const int g = -index - 1;
    if (g < static_cast<int>(d_.GroupAttrib.size()) && d_.GroupAttrib[g]) return *d_.GroupAttrib[g];
  }
  return d_.WholeTree();
}

Coord TTreeDrawer::W(int index) const { return Attrib(index).BranchPen.Width; }

void TTreeDrawer::UseFont(FontHandle font) {
  if (dc_.CurrentFont() != font) dc_.SelectObject(font);
}
void TTreeDrawer::UsePen(PenHandle pen) {
  if (dc_.CurrentPen() != pen) dc_.SelectObject(pen);
}
void TTreeDrawer::UseBrush(BrushHandle brush) {
  if (dc_.CurrentBrush() != brush) dc_.SelectObject(brush);
}
void TTreeDrawer::SetColor(TColor color) {
  if (dc_.GetTextColor() != ColorToRGB(color)) dc_.SetTextColor(color);
}

FontHandle TTreeDrawer::MakeFont(const TFontData& font, std::int32_t escapement) {
  return dc_.CreateFontIndirect(LogFontOf(font, 4, escapement));
}

void TTreeDrawer::SwitchTo(int index) {
  if (haveSet_ && set_.index == index) return;
  CreateSet(index);
}

void TTreeDrawer::ReleaseSet() {
  if (!haveSet_) return;
  dc_.SelectObject(savedFont_);
  dc_.SelectObject(savedPen_);
  dc_.SelectObject(savedBrush_);
  dc_.DeleteObject(set_.nameFont);
  dc_.DeleteObject(set_.captionFont);
  dc_.DeleteObject(set_.boldFont);
  dc_.DeleteObject(set_.branchPen);
  dc_.DeleteObject(set_.halfPen);
  dc_.DeleteObject(set_.brush);
  haveSet_ = false;
}

void TTreeDrawer::CreateSet(int index) {
  ReleaseSet();
  const TNodeAttrib& a = Attrib(index);
  const bool roundCaps =
      IsStyle(TTreeStyle::tsRadiation) || (Traditional() && d_.BranchStyle == TBranchStyle::bsStraight);
  DrawingSet s;
  s.index = index;
  LogFont name = LogFontOf(a.NameFont, 4);
  s.nameFont = dc_.CreateFontIndirect(name);
  name.Weight = FW_BOLD;
  s.boldFont = dc_.CreateFontIndirect(name);
  s.captionFont = dc_.CreateFontIndirect(LogFontOf(a.CaptionFont, 4));
  LogPen pen;
  pen.Type = PS_GEOMETRIC;
  pen.Join = PS_JOIN_MITER;
  pen.EndCap = roundCaps ? PS_ENDCAP_ROUND : PS_ENDCAP_SQUARE;
  pen.Style = a.BranchPen.Style == TPenStyle::psDash  ? PS_DASH
              : a.BranchPen.Style == TPenStyle::psDot ? PS_DOT
                                                      : PS_SOLID;
  pen.Width = CheckedInt32(4 * Coord{a.BranchPen.Width});
  pen.Color = a.BranchPen.Color;
  s.branchPen = dc_.ExtCreatePen(pen);
  LogPen half = pen;
  half.EndCap = PS_ENDCAP_SQUARE;
  half.Style = PS_SOLID;
  half.Width = CheckedInt32(2 * Coord{a.BranchPen.Width});
  s.halfPen = dc_.ExtCreatePen(half);
  s.brush = dc_.CreateBrushIndirect(LogBrushOf(a.Brush.Style, a.BranchPen.Color));
  set_ = s;
  haveSet_ = true;
  const FontHandle oldFont = dc_.SelectObject(s.nameFont);
  const PenHandle oldPen = dc_.SelectObject(s.branchPen);
  const BrushHandle oldBrush = dc_.SelectObject(s.brush);
  if (!savedFont_) {
    savedFont_ = oldFont;
    savedPen_ = oldPen;
    savedBrush_ = oldBrush;
  }
}

// ---- Per-node pass ----

void TTreeDrawer::NodePass() {
  const TColor savedColor = dc_.GetTextColor();
  if (d_.BranchStyle == TBranchStyle::bsCurved) dc_.SetArcDirection(AD_COUNTERCLOCKWISE);
  if (IsStyle(TTreeStyle::tsCircle)) {
    int tips = 0;
    for (const TNode* node : PreOrder(d_.Root, WalkInto::NotIntoCompressed)) tips += node->IsTip() ? 1 : 0;
    quarterTips_ = tips / 4;
  }
  flipText_ = false;
  CreateSet(0);
  // Children are drawn before their parent's own branch; the walk keeps its
  // own stack so that the deepest trees the store holds cannot exhaust the
  // call stack.
  std::vector<std::pair<const TNode*, bool>> stack{{d_.Root, false}};
  while (!stack.empty()) {
    const auto [n, leaving] = stack.back();
    stack.pop_back();
    if (leaving) {
      LeaveNode(n);
      continue;
    }
    EnterNode(n);
    stack.push_back({n, true});
    if (!n->IsTip()) {
      stack.push_back({n->des2, false});
      stack.push_back({n->des1, false});
    }
  }
  ReleaseSet();
  dc_.SetTextColor(savedColor);
}

void TTreeDrawer::EnterNode(const TNode* n) {
  const TNode* p = n->anc;
  if (!p) return;
  // All names of one small clade share one reading direction, set by the
  // clade's top node.
  if (IsStyle(TTreeStyle::tsRadiation)) {
    constexpr double kRightAngle = std::numbers::pi / 2;
    if (p->sector > kRightAngle && (n->sector <= kRightAngle || n->IsTip())) flipText_ = std::cos(n->angle) < 0;
  } else if (IsStyle(TTreeStyle::tsCircle)) {
    if (p->rows > quarterTips_ && (n->rows <= quarterTips_ || n->IsTip())) flipText_ = std::cos(n->angle) < 0;
  }
  if (n->attrIndex != p->attrIndex) SwitchTo(n->attrIndex);
}

void TTreeDrawer::LeaveNode(const TNode* n) {
  current_ = n->attrIndex;
  enclosing_ = EnclosingIndex(n);
  DrawBranch(n);
  if (n->anc && n->anc->attrIndex != n->attrIndex) SwitchTo(n->anc->attrIndex);
}

int TTreeDrawer::EnclosingIndex(const TNode* n) const {
  if (n == d_.Root || !n->anc) return 0;
  const int coloring = AttribOf(n).BranchColoring;
  if (coloring != 2 && coloring != 3) return n->attrIndex;
  const TNode* w = n->anc;
  while (w != d_.Root && w->anc && (AttribOf(w).BranchColoring == 3 || w->hidden)) w = w->anc;
  return w->attrIndex;
}

// ---- Shared drawing helpers ----

void TTreeDrawer::Line(Point from, Point to) {
  points_[0] = from;
  points_[1] = to;
  PolylineOfBuffer(2);
}

void TTreeDrawer::TextAt(Coord x, Coord y, std::string_view text) {
  const Point at = P(x, y);
  dc_.TextOut(at.x, at.y, text);
}

void TTreeDrawer::PolylineOfBuffer(std::size_t count) { dc_.Polyline(std::span<const Point>(points_.data(), count)); }

}  // namespace tree_picture

void SetUpTreeDevice(DeviceContext& dc, int pictureWidth, int pictureHeight) {
  dc.SetGraphicsMode(GM_ADVANCED);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(4 * Coord{pictureWidth}, 4 * Coord{pictureHeight});
  dc.SetViewportExt(pictureWidth, pictureHeight);
  dc.SetBkMode(TRANSPARENT);
  dc.SetBkColor(RGB(255, 255, 255));
  dc.SetROP2(R2_COPYPEN);
  dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
}

void DrawTreeImage(DeviceContext& dc, const TTreeDisplay& display, const TTreePictureOptions& options,
                   const TextMeasurer& measurer) {
  tree_picture::TTreeDrawer drawer(dc, display, options, measurer);
  drawer.DrawAll();
}

Picture BuildTreePicture(const TTreeDisplay& display, const TTreePictureOptions& options, const TextMeasurer& measurer,
                         const DeviceInfo& reference) {
  if (!display.TreePresent || !display.Root) return {};
  PictureRecorder recorder(PictureFrameFromPixels(display.PictureWidth, display.PictureHeight, reference), reference);
  SetUpTreeDevice(recorder, display.PictureWidth, display.PictureHeight);
  DrawTreeImage(recorder, display, options, measurer);
  return recorder.Close();
}
