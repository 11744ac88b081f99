#include "tools/picturedemo/ControlsSheet.h"

#include <array>
#include <string>

#include "components/base/zrcontrols.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/DrawText.h"

namespace {

constexpr std::int32_t kWidth = 900;
constexpr std::int32_t kHeight = 760;

void Label(DeviceContext& dc, Coord x, Coord y, const std::string& text) {
  Rect r{x, y, x + 400, y + 16};
  DrawText(dc, text, r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

// Every edge (four single lines and four pairs) on every non-empty set of
// sides, then the flat, mono and middle forms.
void Edges(DeviceContext& dc, Coord x0, Coord y0) {
  Label(dc, x0, y0, "DrawEdge: rows BDR_RAISEDOUTER, SUNKENOUTER, RAISEDINNER, SUNKENINNER,");
  Label(dc, x0 + 380, y0 + 20, "EDGE_RAISED, SUNKEN, ETCHED, BUMP; columns: the sides");
  Label(dc, x0 + 380, y0 + 36, "as bits 1..15 (left 1, top 2, right 4, bottom 8);");
  Label(dc, x0 + 380, y0 + 52, "last row raised and sunken with FLAT, MONO, MIDDLE,");
  Label(dc, x0 + 380, y0 + 68, "MIDDLE | MONO, FLAT | MIDDLE");
  const std::uint32_t edges[] = {BDR_RAISEDOUTER, BDR_SUNKENOUTER, BDR_RAISEDINNER, BDR_SUNKENINNER,
                                 EDGE_RAISED,     EDGE_SUNKEN,     EDGE_ETCHED,     EDGE_BUMP};
  for (int row = 0; row < 8; ++row)
    for (std::uint32_t sides = 1; sides <= 15; ++sides) {
      Rect r{x0 + 24 * (sides - 1), y0 + 20 + 24 * row, x0 + 24 * (sides - 1) + 20, y0 + 40 + 24 * row};
      DrawEdge(dc, r, edges[row], sides);
    }
  const std::uint32_t extras[] = {BF_FLAT, BF_MONO, BF_MIDDLE, BF_MIDDLE | BF_MONO, BF_FLAT | BF_MIDDLE};
  for (int i = 0; i < 5; ++i)
    for (int e = 0; e < 2; ++e) {
      Rect r{x0 + 48 * i + 24 * e, y0 + 212, x0 + 48 * i + 24 * e + 20, y0 + 232};
      DrawEdge(dc, r, e ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | extras[i]);
    }
}

// Every kind in every state.
void FrameControls(DeviceContext& dc, Coord x0, Coord y0) {
  Label(dc, x0, y0, "DrawFrameControl: rows push, check, radio,");
  Label(dc, x0, y0 + 14, "up, down, left, right, grip, close; columns normal,");
  Label(dc, x0, y0 + 28, "pushed, checked, inactive, flat, transparent,");
  Label(dc, x0, y0 + 42, "checked + inactive");
  const std::array<std::pair<std::uint32_t, std::uint32_t>, 9> kinds = {{
      {DFC_BUTTON, DFCS_BUTTONPUSH},    {DFC_BUTTON, DFCS_BUTTONCHECK},  {DFC_BUTTON, DFCS_BUTTONRADIO},
      {DFC_SCROLL, DFCS_SCROLLUP},      {DFC_SCROLL, DFCS_SCROLLDOWN},   {DFC_SCROLL, DFCS_SCROLLLEFT},
      {DFC_SCROLL, DFCS_SCROLLRIGHT},   {DFC_SCROLL, DFCS_SCROLLSIZEGRIP}, {DFC_CAPTION, DFCS_CAPTIONCLOSE},
  }};
  const std::uint32_t states[] = {0, DFCS_PUSHED, DFCS_CHECKED, DFCS_INACTIVE, DFCS_FLAT, DFCS_TRANSPARENT,
                                  DFCS_CHECKED | DFCS_INACTIVE};
  for (std::size_t k = 0; k < kinds.size(); ++k)
    for (std::size_t s = 0; s < std::size(states); ++s) {
      const Coord x = x0 + 26 * static_cast<Coord>(s), y = y0 + 62 + 22 * static_cast<Coord>(k);
      Rect r{x, y, x + 20, y + 18};
      DrawFrameControl(dc, r, kinds[k].first, kinds[k].second | states[s]);
    }
}

void Texts(DeviceContext& dc, Coord x0, Coord y0) {
  Label(dc, x0, y0, "DrawText (the grey frame is the rectangle)");
  struct Box {
    const char* name;
    const char* text;
    std::uint32_t format;
  } boxes[] = {
      {"LEFT", "left", DT_SINGLELINE},
      {"CENTER", "centre", DT_SINGLELINE | DT_CENTER},
      {"RIGHT|VCENTER", "right", DT_SINGLELINE | DT_RIGHT | DT_VCENTER},
      {"BOTTOM", "bottom", DT_SINGLELINE | DT_BOTTOM},
      {"END_ELLIPSIS", "a text far too long for its box", DT_SINGLELINE | DT_END_ELLIPSIS},
      {"PATH_ELLIPSIS", "/usr/share/kestova/samples/primates.tre", DT_SINGLELINE | DT_PATH_ELLIPSIS},
      {"WORDBREAK", "words that break onto more lines", DT_WORDBREAK},
      {"prefix", "&File and &&", DT_SINGLELINE},
      {"NOPREFIX", "&File and &&", DT_SINGLELINE | DT_NOPREFIX},
      {"EXPANDTABS", "a\tb\tc", DT_SINGLELINE | DT_EXPANDTABS},
      {"clipped", "a text clipped at the edge", DT_SINGLELINE},
      {"NOCLIP", "a text not clipped", DT_SINGLELINE | DT_NOCLIP},
  };
  const BrushHandle frame = dc.CreateBrushIndirect(LogBrush(BS_SOLID, clGray));
  for (std::size_t i = 0; i < std::size(boxes); ++i) {
    const Coord x = x0 + 150 * static_cast<Coord>(i % 4), y = y0 + 20 + 64 * static_cast<Coord>(i / 4);
    Label(dc, x, y, boxes[i].name);
    Rect r{x, y + 16, x + 110, y + 52};
    dc.FillRect({r.left - 1, r.top - 1, r.right + 1, r.top}, frame);
    dc.FillRect({r.left - 1, r.bottom, r.right + 1, r.bottom + 1}, frame);
    dc.FillRect({r.left - 1, r.top, r.left, r.bottom}, frame);
    dc.FillRect({r.right, r.top, r.right + 1, r.bottom}, frame);
    DrawText(dc, boxes[i].text, r, boxes[i].format);
  }
  dc.DeleteObject(frame);
}

// Clipping, each blit operation and a pattern brush at two origins.
void Blits(DeviceContext& dc, Coord x0, Coord y0) {
  Label(dc, x0, y0, "Clip: a box less a hole; blits SRCCOPY SRCPAINT SRCAND SRCINVERT DSTINVERT");
  Label(dc, x0, y0 + 14, "PATCOPY PATINVERT BLACKNESS WHITENESS masked; pattern at origins (0,0) and (3,2)");
  dc.SaveDC();
  dc.IntersectClipRect(x0, y0 + 34, x0 + 80, y0 + 94);
  dc.ExcludeClipRect(x0 + 25, y0 + 50, x0 + 55, y0 + 78);
  {
    const BrushHandle b = dc.CreateBrushIndirect(LogBrush(BS_HATCHED, clBlue, HS_DIAGCROSS));
    const BrushHandle old = dc.SelectObject(b);
    dc.Ellipse(x0 - 20, y0 + 24, x0 + 100, y0 + 104);
    dc.SelectObject(old);
    dc.DeleteObject(b);
  }
  dc.RestoreDC(-1);

  // A source of 16 x 16: red to the left, blue to the right, a green band.
  Bitmap32 source{16, 16, {}};
  BlitMask mask{16, 16, {}};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool band = y >= 6 && y < 10;
      source.Bgra.insert(source.Bgra.end(), {std::uint8_t(x >= 8 ? 255 : 0), std::uint8_t(band ? 200 : 0),
                                             std::uint8_t(x < 8 ? 255 : 0), 255});
      mask.Bits.push_back((x - 8) * (x - 8) + (y - 8) * (y - 8) < 49);
    }
  const BrushHandle stripes = dc.CreateBrushIndirect(LogBrush(BS_HATCHED, clGreen, HS_VERTICAL));
  const BrushHandle old = dc.SelectObject(dc.CreateBrushIndirect(LogBrush(BS_SOLID, RGB(255, 200, 0))));
  const std::uint32_t rops[] = {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, DSTINVERT, PATCOPY, PATINVERT, BLACKNESS,
                                WHITENESS, SRCCOPY};
  for (std::size_t i = 0; i < std::size(rops); ++i) {
    const Coord x = x0 + 100 + 34 * static_cast<Coord>(i), y = y0 + 40;
    dc.FillRect({x - 4, y - 4, x + 28, y + 28}, stripes);
    dc.StretchBlt(x, y, 24, 24, source, 0, 0, 16, 16, rops[i], i + 1 == std::size(rops) ? &mask : nullptr);
  }
  dc.DeleteObject(dc.SelectObject(old));
  dc.DeleteObject(stripes);

  LogBrush checker(BS_PATTERN, clBlack);
  checker.Pattern = {8, 8, {}};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) checker.Pattern.Bits.push_back(x < 4 && y < 4);
  const BrushHandle pattern = dc.CreateBrushIndirect(checker);
  dc.SetTextColor(clMaroon);
  dc.SetBkColor(clYellow);
  dc.FillRect({x0 + 450, y0 + 36, x0 + 498, y0 + 84}, pattern);
  dc.SetBrushOrgEx(3, 2);
  dc.FillRect({x0 + 510, y0 + 36, x0 + 558, y0 + 84}, pattern);
  dc.SetBrushOrgEx(0, 0);
  dc.SetTextColor(clBlack);
  dc.SetBkColor(clWhite);
  dc.DeleteObject(pattern);
}

void StyledLines(DeviceContext& dc, Coord x0, Coord y0) {
  Label(dc, x0, y0, "Styled one-line text, left- and right-justified, in boxes 240 wide");
  TCanvas canvas(dc);
  TFont normal, bold;
  normal.SetHeight(-13);
  bold.SetHeight(-13);
  bold.SetStyle({TFontStyle::fsBold});
  const char* const texts[] = {"plain text", "Name: ~bold run~ and after", "a~b~c~d keeps the later marker",
                               "x~y~", "~bold to the end", "~a bold run that is far too long for a box this narrow~ tail"};
  const BrushHandle frame = dc.CreateBrushIndirect(LogBrush(BS_SOLID, clSilver));
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    int start = 0, len = 0;
    std::string plain;
    ParseStyleMarkers(texts[i], start, len, plain);
    for (int side = 0; side < 2; ++side) {
      const Coord x = x0 + 260 * side, y = y0 + 20 + 22 * static_cast<Coord>(i);
      dc.FillRect({x, y, x + 240, y + 18}, frame);
      DrawStyledLine(canvas, normal, bold,
                     side ? TLeftRightAlign::lrRightJustify : TLeftRightAlign::lrLeftJustify, len, start, plain,
                     {x, y, x + 240, y + 18});
    }
  }
  dc.DeleteObject(frame);
}

}  // namespace

Picture RecordControlsSheet(const DeviceInfo& screen) {
  PictureRecorder dc(PictureFrameFromPixels(kWidth, kHeight, screen), screen);
  dc.SetBkMode(TRANSPARENT);
  const BrushHandle face = dc.CreateBrushIndirect(LogBrush(BS_SOLID, clBtnFace));
  dc.FillRect({0, 0, kWidth, kHeight}, face);
  dc.DeleteObject(face);
  LogFont font;
  font.Height = -12;
  font.FaceName = "Arial";
  const FontHandle labels = dc.CreateFontIndirect(font);
  const FontHandle old = dc.SelectObject(labels);
  Edges(dc, 10, 10);
  FrameControls(dc, 620, 260);
  Texts(dc, 10, 260);
  Blits(dc, 10, 470);
  StyledLines(dc, 10, 600);
  dc.SelectObject(old);
  dc.DeleteObject(labels);
  return dc.Close();
}
