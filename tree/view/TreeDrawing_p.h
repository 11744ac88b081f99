#pragma once
// The drawing context of one tree picture: the device, the attribute whose
// device objects are selected, the enclosing attribute of the node being
// drawn, the text direction of rotated names, the shared points buffer and
// the rectangles of the names drawn so far. The layers live in
// TreePicture.cpp (layer order, per-node pass, drawing sets),
// BranchDrawing.cpp, TaxonNames.cpp, BranchInfo.cpp, Captions.cpp and
// ScaleBar.cpp.
//
// Attribute indices are signed: k >= 0 is AttribList entry k, k < 0 is
// GroupAttrib entry -k-1 (the form a node's attrIndex has). An index outside
// its list names the whole-tree attribute.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tree/view/TreePicture.h"

namespace tree_picture {

// Round half to even as a coordinate; EIntOverflow when not finite.
Coord R(double value);
// Size of a coordinate whatever its sign (font heights are negative when
// they give the character height).
inline Coord Abs(Coord v) { return v < 0 ? -v : v; }

class TTreeDrawer {
 public:
  TTreeDrawer(DeviceContext& dc, const TTreeDisplay& display, const TTreePictureOptions& options,
              const TextMeasurer& measurer);
  ~TTreeDrawer();
  TTreeDrawer(const TTreeDrawer&) = delete;
  TTreeDrawer& operator=(const TTreeDrawer&) = delete;

  // Every layer in order.
  void DrawAll();

 private:
  // Device objects made from one attribute.
  struct DrawingSet {
    int index = 0;
    FontHandle nameFont, boldFont, captionFont;
    PenHandle branchPen, halfPen;
    BrushHandle brush;
  };

  // ---- TreePicture.cpp: attributes and the per-node pass ----
  const TNodeAttrib& Attrib(int index) const;
  const TNodeAttrib& AttribOf(const TNode* node) const { return Attrib(node->attrIndex); }
  const TNodeAttrib& Selected() const { return Attrib(set_.index); }
  // Branch pen width of an attribute, pixels.
  Coord W(int index) const;
  void SwitchTo(int index);
  void CreateSet(int index);
  void ReleaseSet();
  void NodePass();
  void EnterNode(const TNode* n);
  void LeaveNode(const TNode* n);
  int EnclosingIndex(const TNode* n) const;
  // Selects an object unless it is selected already.
  void UseFont(FontHandle font);
  void UsePen(PenHandle pen);
  void UseBrush(BrushHandle brush);
  void SetColor(TColor color);
  // A node position (or any tree point) plus Origin.
  Point P(Coord x, Coord y) const { return {x + d_.Origin.x, y + d_.Origin.y}; }
  Point P(const Point& p) const { return P(p.x, p.y); }
  void Line(Point from, Point to);
  // Text with its bottom at the tree point (x, y).
  void TextAt(Coord x, Coord y, std::string_view text);
  // Polyline of the first `count` points of the buffer.
  void PolylineOfBuffer(std::size_t count);
  // A font of the layers that do not belong to an attribute (support values,
  // scale): height x 4, escapement in tenths of a degree.
  FontHandle MakeFont(const TFontData& font, std::int32_t escapement = 0);
  bool IsStyle(TTreeStyle style) const { return d_.TreeStyle == style; }
  bool Traditional() const { return IsStyle(TTreeStyle::tsTraditional); }
  bool RootStubShown() const { return d_.isRooted && d_.ShowRoot; }
  bool StatsShown() const { return o_.Flags.isStats && d_.ShowStats; }
  bool CharStatesShown() const;
  Coord TextWidth4(const TFontData& font, std::string_view text) const;
  // Cell height in pixels; the same for every text of a font, so it is
  // measured once per font.
  Coord TextHeightOf(const TFontData& font, std::string_view text) const;

  // ---- BranchDrawing.cpp ----
  void DrawBranch(const TNode* n);
  bool CommonStart(const TNode* n);  // false: a hidden node, stop
  void SwitchToEnclosing(const TNode* n);
  Coord ConnectorExtension(const TNode* n, Coord w) const;
  void DrawRectangularBranch(const TNode* n);
  void DrawVerticalConnectors(const TNode* n);
  void DrawStraightBranch(const TNode* n);
  void DrawCurvedBranch(const TNode* n);
  void DrawCurve(const TNode* n, const TNode* S, const TNode* T);
  void DrawRadiationBranch(const TNode* n);
  void DrawCircleBranch(const TNode* n);
  void DrawRadialName(const TNode* n);
  void DrawCompressedGroup(const TNode* n);
  void DrawCompressedGroupRadial(const TNode* n);
  void DrawHeightErrorBar(const TNode* n);

  // ---- TaxonNames.cpp ----
  void DrawOTUName(const TNode* n);
  void DrawOTUNameUnguarded(const TNode* n);
  void DrawRotatedOTUName(const TNode* n);
  bool IsNameOverlapped(Coord left, Coord right, Coord bottom) const;
  void RecordName(Coord left, Coord right, Coord top, Coord bottom);
  void DrawMarkers();
  void DrawMarkersRadial();
  void DrawMarker(Point centre, double angle, double half, Coord s, bool bold, TNodeMarker marker);

  // ---- BranchInfo.cpp ----
  Coord ChildPenWidth(const TNode* c) const;
  void DrawStats();
  void DrawStatsRadial(const TNode* n);
  void DrawBranchLengths();
  void DrawCharStates();

  // ---- Captions.cpp ----
  void DrawCaption(const TNode* n);
  void DrawNodeImage(const TNode* n);

  // ---- ScaleBar.cpp ----
  void DrawScale();
  void DrawScaleBar(Coord hs);
  void DrawTimeAxis(Coord hs);
  void DrawCircleScale();

  DeviceContext& dc_;
  const TTreeDisplay& d_;
  const TTreePictureOptions& o_;
  const TextMeasurer& m_;
  DrawingSet set_;
  bool haveSet_ = false;
  int current_ = 0;    // attribute of the node being drawn
  int enclosing_ = 0;  // E of the node being drawn
  bool flipText_ = false;
  int quarterTips_ = 0;  // displayed tips div 4 (circle text direction)
  FontHandle savedFont_;
  PenHandle savedPen_;
  BrushHandle savedBrush_;
  std::array<Point, 601> points_;
  // Names drawn so far, keyed by their top: (bottom limit of the overlap
  // band, left, right). The band of a name is at most maxBand_ tall, so a
  // lookup only visits names whose top lies within that distance.
  struct NameBand {
    Coord limit, left, right;
  };
  std::multimap<Coord, NameBand> names_;
  Coord maxBand_ = 0;
  mutable std::vector<std::pair<TFontData, Coord>> heights_;
};

}  // namespace tree_picture
