// Taxon names and markers of the tree picture: horizontal and rotated labels
// of taxa and compressed groups, the overlap rule that drops a name too
// close below one drawn earlier, and the marker layer.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/core/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/DialogService.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeDrawing_p.h"

namespace tree_picture {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSin45 = 0.7071067811865475244;

// A compressed node shows its region's caption in the name's place.
const std::string& LabelOf(const TNode* n, const TNodeAttrib& a) { return n->compressed ? a.Caption : n->name; }

Point MidpointOfChildren(const TNode* n) {
  return {(n->des1->position.x + n->des2->position.x) / 2, (n->des1->position.y + n->des2->position.y) / 2};
}

}  // namespace

// ---- Names ----

void TTreeDrawer::DrawOTUName(const TNode* n) {
  try {
    DrawOTUNameUnguarded(n);
  } catch (const Exception& error) {
    // One bad name must not cost the whole picture.
    Dialogs().MessageBox(error.Message() + kNameErrorSuffix, Application->Title(), TMsgDlgType::mtCustom,
                         TMsgDlgButtons::mbOK);
    UseFont(set_.nameFont);
  }
}

void TTreeDrawer::DrawOTUNameUnguarded(const TNode* n) {
  const TNodeAttrib& a = Attrib(current_);
  if (!a.ShowTaxonName) return;
  const TFontData& tf = n->compressed ? a.CaptionFont : a.NameFont;
  const FontHandle font = n->compressed ? set_.captionFont : set_.nameFont;
  const Coord h = tf.Height;
  Coord c = 2 * Coord{GetBranchPenWidth(d_, *n)};
  const bool marker = GetShownMarker(d_, *n).Shape != 0;
  const bool group = n->IsGroup();
  Coord x, y;
  std::string text;
  if (Traditional()) {
    if (marker) c += Abs(5 * h);
    if (CharStatesShown()) c += TextWidth4(d_.CharStateFont, n->charState) + 2 * Abs(d_.CharStateFont.Height);
    x = c + (group && !d_.Cladogram ? n->des1->position.x : n->position.x);
    y = Abs(2 * h) + (group ? MidpointOfChildren(n).y : n->position.y);
    text = " " + LabelOf(n, a);
  } else {
    const double angle = n->angle;
    const double cs = std::cos(angle), sn = std::sin(angle);
    const Point anchor = group ? MidpointOfChildren(n) : n->position;
    Coord x0 = anchor.x;
    const Coord y0 = anchor.y;
    if (cs < 0) x0 -= n->nameWidth;
    const double ah = static_cast<double>(Abs(h));
    if (marker) {
      const Coord k = R((std::abs(cs) + 1) * 2.5 * ah) + c;
      x = cs < 0 ? x0 - k : x0 + k;
      const Coord dy = R(std::abs(3 * ah * sn));
      y = sn >= 0 ? y0 + Abs(2 * h) - dy : y0 + Abs(2 * h) + dy;
    } else if (std::abs(cs) < kSin45) {
      const double cot = std::abs(cs / sn);
      const Coord g = R((1 - cot) * static_cast<double>(n->nameWidth) / 2);
      x = cs < 0 ? x0 + g - c : x0 - g + c;
      const Coord dy = R(ah * (2 - cot) * 2.5);
      y = sn < 0 ? y0 + Abs(2 * h) + dy : y0 + Abs(2 * h) - dy;
    } else {
      x = cs < 0 ? x0 - c : x0 + c;
      const Coord dy = R(std::abs(ah * sn / cs) * 2.5);
      y = sn < 0 ? y0 + Abs(2 * h) + dy : y0 + Abs(2 * h) - dy;
    }
    text = cs >= 0 ? " " + LabelOf(n, a) : LabelOf(n, a);
  }
  SetColor(n->emphasized ? (n->nameColor == 0xFFFFFF ? o_.EmphasisColor : n->nameColor) : tf.Color);
  // Horizontal extents matter only where names of one height can lie on
  // opposite sides of the picture.
  const bool measureWidth = !Traditional();
  Coord right = x;
  if (!n->nameTag.empty()) {
    UseFont(set_.boldFont);
    TFontData bold = tf;
    bold.Style.Include(TFontStyle::fsBold);
    const Coord tagWidth = TextWidth4(bold, n->nameTag + " ");
    if (!o_.DrawOverlappingTaggedNames && IsNameOverlapped(x, x + tagWidth, y)) {
      UseFont(font);
      return;
    }
    TextAt(x, y, n->nameTag);
    UseFont(font);
    right = x + tagWidth;
    if (o_.ShowMappedTreeNames || n->nameTag == "<user added>" || n->nameTag == "<unmapped>") {
      if (!n->emphasized) SetColor(clSilver);
      TextAt(right, y, text);
      if (measureWidth) right += TextWidth4(tf, text);
    }
  } else {
    UseFont(font);
    if (measureWidth) right = x + TextWidth4(tf, text);
    if (IsNameOverlapped(x, right, y)) return;
    TextAt(x, y, text);
  }
  RecordName(x, right, y, y + 4 * TextHeightOf(tf, text));
}

bool TTreeDrawer::IsNameOverlapped(Coord left, Coord right, Coord bottom) const {
  const bool horizontal = !Traditional();
  for (auto it = names_.upper_bound(bottom - maxBand_ - 1); it != names_.end() && it->first < bottom; ++it) {
    if (bottom >= it->second.limit) continue;
    if (horizontal && (right < it->second.left || left > it->second.right)) continue;
    return true;
  }
  return false;
}

void TTreeDrawer::RecordName(Coord left, Coord right, Coord top, Coord bottom) {
  const Coord limit = (top + 2 * bottom) / 3;
  maxBand_ = std::max(maxBand_, limit - top);
  names_.emplace(top, NameBand{limit, left, right});
}

void TTreeDrawer::DrawRotatedOTUName(const TNode* n) {
  const TNodeAttrib& a = Attrib(current_);
  if (!a.ShowTaxonName) return;
  const TFontData& tf = n->compressed ? a.CaptionFont : a.NameFont;
  const double t = n->angle + (flipText_ ? kPi : 0.0);
  const std::int32_t escapement = CheckedInt32(R(t / (2 * kPi) * 3600));
  const double h = static_cast<double>(Abs(tf.Height));
  double b = h + 2.0 * GetBranchPenWidth(d_, *n);
  if (GetShownMarker(d_, *n).Shape != 0) b += 5 * h;
  const double m = 2 * h;
  const Point anchor = n->IsGroup() ? MidpointOfChildren(n) : n->position;
  const double cs = std::cos(t), sn = std::sin(t);
  Coord x, y;
  if (!flipText_) {
    x = anchor.x + R(b * cs + m * sn);
    y = anchor.y - R(b * sn - m * cs);
  } else {
    const double width = static_cast<double>(n->nameWidth);
    x = anchor.x - R(b * cs - m * sn) - R(cs * width);
    y = anchor.y + R(b * sn + m * cs) + R(sn * width);
  }
  const FontHandle font = MakeFont(tf, escapement);
  const FontHandle old = dc_.SelectObject(font);
  SetColor(tf.Color);
  TextAt(x, y, LabelOf(n, a));
  dc_.SelectObject(old);
  dc_.DeleteObject(font);
}

// ---- Markers ----

void TTreeDrawer::DrawMarkers() {
  for (const TNode* n : PostOrder(d_.Root, WalkInto::NotIntoCompressed)) {
    const TNodeAttrib& a = AttribOf(n);
    TNodeMarker marker;
    if (n->IsTip())
      marker = GetShownMarker(d_, *n);
    else if (a.ShowNodeMarker)
      marker = n->marker;
    if (marker.Shape < 1 || marker.Shape > 10) continue;
    const TFontData& f = n->isOTU ? a.NameFont : a.CaptionFont;
    const Coord s = 3 * Abs(f.Height);
    Coord x0 = 2 * Coord{GetBranchPenWidth(d_, *n)} + s;
    const Coord y0 = a.ShowTaxonName ? -(s / 6) : 0;
    Point centre = n->position;
    if (n->isOTU) {
      if (CharStatesShown()) x0 += TextWidth4(d_.CharStateFont, n->charState) + 2 * Abs(d_.CharStateFont.Height);
      centre = {n->position.x + x0, n->position.y + y0};
    } else if (n->compressed) {
      centre = {(d_.Cladogram ? n->position.x : n->des1->position.x) + x0, MidpointOfChildren(n).y + y0};
    }
    const bool bold = f.Style.Contains(TFontStyle::fsBold);
    const double r = static_cast<double>(s / 2);
    switch (marker.Shape) {
      case 3:
      case 4:
        DrawMarker(centre, 0, r, s, bold, marker);
        break;
      case 5:
      case 6:
        DrawMarker({centre.x, centre.y + R(static_cast<double>(s) / 6)}, -kPi / 2, r, s, bold, marker);
        break;
      case 7:
      case 8:
        DrawMarker({centre.x, centre.y - y0 - R(static_cast<double>(s) / 6)}, kPi / 2, r, s, bold, marker);
        break;
      case 9:
      case 10:
        DrawMarker(centre, kPi / 4, static_cast<double>(R(static_cast<double>(s) / std::sqrt(6.0))), s, bold, marker);
        break;
      default:
        DrawMarker(centre, 0, r, s, bold, marker);
        break;
    }
  }
}

void TTreeDrawer::DrawMarkersRadial() {
  for (const TNode* n : PostOrder(d_.Root, WalkInto::NotIntoCompressed)) {
    if (!n->IsTip()) continue;
    const TNodeMarker marker = GetShownMarker(d_, *n);
    if (marker.Shape < 1 || marker.Shape > 10) continue;
    const TNodeAttrib& a = AttribOf(n);
    const TFontData& f = n->isOTU ? a.NameFont : a.CaptionFont;
    const Coord s = 3 * Abs(f.Height);
    const double a0 = n->angle;
    const double reach = static_cast<double>(s + 2 * Coord{GetBranchPenWidth(d_, *n)});
    const Point base = n->IsGroup() ? MidpointOfChildren(n) : n->position;
    const Point centre{base.x + R(std::cos(a0) * reach), base.y - R(std::sin(a0) * reach)};
    const bool bold = f.Style.Contains(TFontStyle::fsBold);
    const double r = static_cast<double>(s / 2);
    switch (marker.Shape) {
      case 3:
      case 4:
        DrawMarker(centre, a0, r, s, bold, marker);
        break;
      case 5:
      case 6:
        DrawMarker(centre, a0 - kPi / 2, r, s, bold, marker);
        break;
      case 7:
      case 8:
        DrawMarker(centre, a0 + kPi / 2, r, s, bold, marker);
        break;
      case 9:
      case 10:
        DrawMarker(centre, a0 + kPi / 4, static_cast<double>(R(static_cast<double>(s) / std::sqrt(6.0))), s, bold,
                   marker);
        break;
      default:
        DrawMarker(centre, a0, r, s, bold, marker);
        break;
    }
  }
}

// One marker: circle (1, 2), square and diamond (3, 4, 9, 10: a square
// turned by `angle`), triangle (5 to 8: pointing away from `angle`). Odd
// codes are open (filled white), even codes filled; both are outlined in
// the marker colour. `half` is the half-size of the shape.
void TTreeDrawer::DrawMarker(Point centre, double angle, double half, Coord s, bool bold, TNodeMarker marker) {
  LogPen pen;
  pen.Type = PS_GEOMETRIC;
  pen.Style = PS_SOLID;
  pen.EndCap = PS_ENDCAP_ROUND;
  pen.Join = PS_JOIN_MITER;
  pen.Width = CheckedInt32(bold ? 2 * s / 9 : s / 9);
  pen.Color = marker.Color;
  const PenHandle outline = dc_.ExtCreatePen(pen);
  const BrushHandle solid = dc_.CreateBrushIndirect(LogBrush{BS_SOLID, marker.Color, HS_HORIZONTAL});
  const BrushHandle white = dc_.CreateBrushIndirect(LogBrush{BS_SOLID, RGB(255, 255, 255), HS_HORIZONTAL});
  const BrushHandle fill = marker.Shape % 2 == 0 ? solid : white;
  const PenHandle oldPen = dc_.SelectObject(outline);
  const BrushHandle oldBrush = dc_.SelectObject(fill);
  const Coord x = P(centre).x, y = P(centre).y;
  switch (marker.Shape) {
    case 1:
    case 2: {
      const Coord r = static_cast<Coord>(half);
      dc_.Ellipse(x - r - 4, y - r - 4, x + r + 4, y + r + 4);
      break;
    }
    case 5:
    case 6:
    case 7:
    case 8: {
      Point corners[3];
      const double qs[] = {kPi / 3, kPi, -kPi / 3};
      for (int i = 0; i < 3; ++i) {
        corners[i] = {x + R(half * (4.0 / 3 * std::cos(angle + qs[i]) + 1.0 / 3 * std::cos(angle))),
                      y - R(4.0 / 3 * half * std::sin(angle + qs[i]))};
      }
      dc_.Polygon(corners);
      break;
    }
    default: {
      Point corners[4];
      const int ks[] = {1, 3, -3, -1};
      for (int i = 0; i < 4; ++i) {
        const double t = angle + ks[i] * kPi / 4;
        corners[i] = {x + R(half * std::sqrt(2.0) * std::cos(t)), y - R(half * std::sqrt(2.0) * std::sin(t))};
      }
      dc_.Polygon(corners);
      break;
    }
  }
  dc_.SelectObject(oldPen);
  dc_.SelectObject(oldBrush);
  dc_.DeleteObject(outline);
  dc_.DeleteObject(solid);
  dc_.DeleteObject(white);
}

}  // namespace tree_picture
