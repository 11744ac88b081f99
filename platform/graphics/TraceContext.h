#pragma once
// A device context that draws nothing and writes one line per accepted call,
// for tests of drawing code: the sequence of calls, the objects made and
// freed, and the state at any point.
//
// Line formats (numbers in decimal, colours as $BBGGRR in hex, handles as
// font#N, pen#N, brush#N with the ids of this context):
//   SetGraphicsMode(GM_ADVANCED)     SetMapMode(MM_ANISOTROPIC)
//   SetWindowExt(800,400)            SetViewportExt(200,100)
//   SetBkMode(TRANSPARENT)           SetBkColor($FFFFFF)
//   SetTextColor($0000FF)            SetTextAlign(TA_LEFT|TA_BOTTOM)
//   SetArcDirection(AD_COUNTERCLOCKWISE)   SetROP2(R2_NOTXORPEN)
//   CreateFontIndirect(-44,0,0,700,italic,underline,strikeout,FIXED_PITCH,"Arial") -> font#8
//       (height, escapement, orientation, weight, then only the styles set,
//       then the pitch and the face name)
//   ExtCreatePen(PS_GEOMETRIC|PS_DASH|PS_ENDCAP_SQUARE|PS_JOIN_MITER,8,$0000FF) -> pen#9
//       (a cosmetic pen: PS_COSMETIC|style only)
//   CreateBrushIndirect(BS_HATCHED,$0000FF,HS_CROSS) -> brush#10
//       (no hatch for the other kinds)
//   SelectObject(pen#9)              DeleteObject(pen#9)
//   MoveTo(1,2)    LineTo(3,4)       Polyline(1,2 3,4 5,6)
//   Polygon(...)   PolyBezier(...)   Ellipse(0,0,40,32)    Rectangle(0,0,40,32)
//   Arc(0,0,40,40,40,20,20,0)        TextOut(10,20,"text")
//   StretchDIBits(0,0,40,32,10x8)    FillRect(0,0,40,32,brush#4)
//   IntersectClipRect(0,0,40,32)     ExcludeClipRect(0,0,40,32)
//   SelectClipRgn(0,0 40,32 50,0 60,10)   (corners of each rectangle)
//   SelectClipRgn(NULL)              SaveDC() -> 1     RestoreDC(-1)
//   PatBlt(0,0,40,32,DSTINVERT)      (x, y, width, height, operation)
//   StretchBlt(0,0,40,32,10x8,0,0,10,8,SRCCOPY,mask)
//       (destination, image size, source part, operation, ",mask" if any)
//   SetBrushOrgEx(4,4)
//   ExtTextOut(10,20,ETO_OPAQUE|ETO_CLIPPED,0,0,40,16,"text",5 5 5 5)
//       (position, options or 0, the rectangle if any, the text, the
//       advances if any)
//   CreateBrushIndirect(BS_PATTERN,8x8)   CreateBrushIndirect(BS_DIBPATTERN,8x8)

#include <string>
#include <vector>

#include "platform/graphics/DeviceContext.h"

class TraceContext : public DeviceContext {
 public:
  // A 1920 x 1080 screen at 96 pixels per inch unless told otherwise.
  TraceContext();
  explicit TraceContext(const DeviceInfo& device);

  const std::vector<std::string>& Lines() const { return lines_; }
  // The lines joined with "\n" (no final line break).
  std::string Text() const;
  void Clear() { lines_.clear(); }
  int CreatedCount() const { return created_; }
  int DeletedCount() const { return deleted_; }

 protected:
  void Apply(const Command& command) override;

 private:
  std::vector<std::string> lines_;
  int created_ = 0;
  int deleted_ = 0;
};
