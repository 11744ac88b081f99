// Subtree captions, brackets and images of the tree picture, drawn at the
// top node of an attribute region in the traditional style, to the right of
// every label of the region (labelRight, from the label-extent pass).

#include "tree/view/TreeDrawing_p.h"

namespace tree_picture {

void TTreeDrawer::DrawCaption(const TNode* n) {
  const TNodeAttrib& a = AttribOf(n);
  const Coord hc = Abs(a.CaptionFont.Height);
  const Coord cw = a.CaptionPen.Width;
  const Coord T = n->captionTop, B = n->captionBottom, lr = n->labelRight;
  LogPen logPen;
  logPen.Type = PS_GEOMETRIC;
  logPen.Style = PS_SOLID;
  logPen.EndCap = PS_ENDCAP_SQUARE;
  logPen.Join = PS_JOIN_MITER;
  logPen.Width = CheckedInt32(4 * cw);
  logPen.Color = a.CaptionPen.Color;
  const PenHandle pen = dc_.ExtCreatePen(logPen);
  const PenHandle oldPen = dc_.SelectObject(pen);
  Coord e = lr;
  if (a.ShowBracket) {
    e = lr + 2 * hc + 4 * cw;
    if (a.BracketStyle == 0) {
      // A square bracket opening towards the tree.
      points_[0] = P(lr + 2 * cw, T);
      points_[1] = P(lr + 2 * cw + 2 * hc, T);
      points_[2] = P(lr + 2 * cw + 2 * hc, B);
      points_[3] = P(lr + 2 * cw, B);
      PolylineOfBuffer(4);
    } else if (a.BracketStyle == 1) {
      Line(P(lr + hc + 2 * cw, T), P(lr + hc + 2 * cw, B));
    }
  }
  if (a.IsCaptionShown()) {
    Coord x = e + hc;
    Coord y = (T + B) / 2 + 2 * hc;
    if (a.HasImage() && a.ShowImage) {
      const Coord W = a.Bitmap.Width, H = a.Bitmap.Height;
      const bool roomy = B - T >= 4 * (H + hc);
      switch (a.ImagePosition) {
        case 0:
          x = e + 3 * hc + 4 * W;
          break;
        case 2:
        case 3:
          x = n->nameWidth < 4 * W ? e + hc + 2 * W - n->nameWidth / 2 : e + hc;
          if (a.ImagePosition == 2)
            y = roomy ? (T + B) / 2 + 2 * H + 4 * hc : T + 4 * (H + hc);
          else
            y = roomy ? (T + B) / 2 - 2 * H : T + 4 * hc;
          break;
        default:
          break;
      }
    }
    UseFont(set_.captionFont);
    SetColor(a.CaptionFont.Color);
    TextAt(x, y, a.Caption);
  }
  dc_.SelectObject(oldPen);
  dc_.DeleteObject(pen);
}

void TTreeDrawer::DrawNodeImage(const TNode* n) {
  const TNodeAttrib& a = AttribOf(n);
  const Coord hc = Abs(a.CaptionFont.Height);
  const Coord cw = a.CaptionPen.Width;
  const Coord W = a.Bitmap.Width, H = a.Bitmap.Height;
  const Coord T = n->captionTop, B = n->captionBottom;
  const bool captionShown = a.IsCaptionShown();
  Coord x = n->labelRight + 2 * hc;
  if (!a.Compressed && a.ShowBracket) x += 2 * hc + 4 * cw;
  if (captionShown) {
    if (a.ImagePosition == 1)
      x += n->nameWidth;
    else if (4 * W < n->nameWidth)
      x += (n->nameWidth - 4 * W) / 2 - hc;
  }
  if (a.Compressed && a.ShowTaxonMarker && a.MarkerShape != 0) x += Abs(5 * hc);
  const Coord alone = B - T < 4 * H ? T : (T + B) / 2 - 2 * H;
  Coord y;
  if (n->IsTip()) {
    y = B - T < 4 * H ? T : n->position.y - 2 * H;
  } else if (captionShown && a.ImagePosition == 2) {
    y = 4 * (hc + H) > B - T ? T : (T + B) / 2 - 2 * (hc + H);
  } else if (captionShown && a.ImagePosition == 3) {
    y = 4 * (hc + H) > B - T ? T + 4 * hc : (T + B) / 2 - 2 * (H - hc);
  } else {
    y = alone;
  }
  // The picture keeps its pixel size on the screen: 4 logical units a pixel.
  const Point at = P(x, y);
  dc_.StretchDIBits(at.x, at.y, 4 * W, 4 * H, a.Bitmap);
}

}  // namespace tree_picture
