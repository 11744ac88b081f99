// picturedemo [output directory]
// Records one picture the way the tree picture is recorded (4 logical units a
// pixel, text aligned to its bottom) using every primitive of the drawing
// layer, and writes picturedemo.png, picturedemo.pdf and picturedemo.svg;
// then a second sheet of edges, frame controls, formatted text, clipping,
// blits, pattern brushes and styled text as picturedemo-controls.png.

#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/core/Exceptions.h"
#include "platform/graphics/PictureExport.h"
#include "platform/graphics/QtGraphics.h"
#include "tools/picturedemo/ControlsSheet.h"

namespace {

constexpr std::int32_t kWidth = 480;  // pixels
constexpr std::int32_t kHeight = 360;

LogPen Geometric(PenDashStyle style, PenEndCap cap, std::int32_t width, TColor color) {
  return {PS_GEOMETRIC, style, cap, PS_JOIN_MITER, width, color};
}

LogFont Font(std::int32_t pixels, std::int32_t escapement = 0, std::int32_t weight = FW_NORMAL) {
  return {-4 * pixels, escapement, escapement, weight, false, false, false, VARIABLE_PITCH, "Arial"};
}

// Selects a new object and deletes it again when the scope ends, leaving the
// previous one selected.
template <class H>
class Selected {
 public:
  Selected(DeviceContext& dc, H object) : dc_(dc), object_(object), previous_(dc.SelectObject(object)) {}
  ~Selected() {
    dc_.SelectObject(previous_);
    dc_.DeleteObject(object_);
  }

 private:
  DeviceContext& dc_;
  H object_, previous_;
};

void Caption(DeviceContext& dc, Coord x, Coord y, const char* text) {
  Selected font(dc, dc.CreateFontIndirect(Font(10)));
  dc.SetTextColor(clGray);
  dc.TextOut(x, y, text);
}

void Strokes(DeviceContext& dc) {
  // Square and round caps at width 8 (2 pixels): an elbow whose vertical part
  // ends on the horizontal part's centre line, as branches are drawn.
  {
    Selected pen(dc, dc.ExtCreatePen(Geometric(PS_SOLID, PS_ENDCAP_SQUARE, 8, clRed)));
    const Point elbow[3] = {{80, 60}, {80, 140}, {320, 140}};
    dc.Polyline(elbow);
  }
  {
    Selected pen(dc, dc.ExtCreatePen(Geometric(PS_SOLID, PS_ENDCAP_SQUARE, 8, clBlue)));
    const Point down[2] = {{200, 144}, {200, 240}};
    dc.Polyline(down);
  }
  {
    Selected pen(dc, dc.ExtCreatePen(Geometric(PS_SOLID, PS_ENDCAP_ROUND, 8, clGreen)));
    dc.MoveTo(360, 60);
    dc.LineTo(560, 200);
  }
  Caption(dc, 80, 300, "square and round caps");

  const struct {
    PenDashStyle style;
    std::int32_t width;
    const char* name;
  } dashes[] = {{PS_DASH, 8, "dash"}, {PS_DOT, 8, "dot"}, {PS_DASHDOT, 8, "dash dot"}, {PS_DASH, 4, "dash 1 px"}};
  Coord y = 360;
  for (const auto& d : dashes) {
    Selected pen(dc, dc.ExtCreatePen(Geometric(d.style, PS_ENDCAP_SQUARE, d.width, clBlack)));
    dc.MoveTo(80, y);
    dc.LineTo(480, y);
    Caption(dc, 500, y + 16, d.name);
    y += 40;
  }
}

void Fills(DeviceContext& dc) {
  const struct {
    LogBrush brush;
    const char* name;
  } brushes[] = {
      {{BS_SOLID, clTeal}, "solid"},
      {{BS_NULL, clTeal}, "null"},
      {{BS_HATCHED, clPurple, HS_HORIZONTAL}, "horizontal"},
      {{BS_HATCHED, clPurple, HS_VERTICAL}, "vertical"},
      {{BS_HATCHED, clPurple, HS_FDIAGONAL}, "fdiagonal"},
      {{BS_HATCHED, clPurple, HS_BDIAGONAL}, "bdiagonal"},
      {{BS_HATCHED, clPurple, HS_CROSS}, "cross"},
      {{BS_HATCHED, clPurple, HS_DIAGCROSS}, "diagcross"},
  };
  Selected pen(dc, dc.ExtCreatePen(Geometric(PS_SOLID, PS_ENDCAP_SQUARE, 4, clPurple)));
  Coord x = 80;
  for (const auto& b : brushes) {
    Selected brush(dc, dc.CreateBrushIndirect(b.brush));
    // A compressed group's triangle: a short edge at the node, the far
    // corners at the group's first and last member.
    const Point triangle[4] = {{x, 650}, {x, 634}, {x + 160, 580}, {x + 160, 720}};
    dc.Polygon(triangle);
    Caption(dc, x, 770, b.name);
    x += 220;
  }
}

void Shapes(DeviceContext& dc) {
  // A Bezier S-curve from (640, 60) to (1000, 300), flat at both ends.
  {
    Selected pen(dc, dc.ExtCreatePen(Geometric(PS_SOLID, PS_ENDCAP_SQUARE, 8, clNavy)));
    const Point curve[7] = {{640, 60}, {760, 60}, {760, 180}, {820, 180}, {880, 180}, {880, 300}, {1000, 300}};
    dc.PolyBezier(curve);
  }
  Caption(dc, 640, 360, "Bezier S-curve");

  {
    Selected pen(dc, dc.ExtCreatePen(Geometric(PS_SOLID, PS_ENDCAP_ROUND, 4, clMaroon)));
    Selected brush(dc, dc.CreateBrushIndirect({BS_SOLID, clYellow}));
    dc.Ellipse(1080, 60, 1280, 200);
    dc.Rectangle(1080, 230, 1240, 300);
    // East to north: a quarter counter-clockwise, three quarters clockwise.
    dc.SetArcDirection(AD_COUNTERCLOCKWISE);
    dc.Arc(1320, 60, 1440, 180, 1440, 120, 1380, 60);
    dc.SetArcDirection(AD_CLOCKWISE);
    dc.Arc(1460, 60, 1580, 180, 1580, 120, 1520, 60);
    dc.SetArcDirection(AD_COUNTERCLOCKWISE);
  }
  Caption(dc, 1080, 360, "ellipse, rectangle, arcs");

  Bitmap24 bitmap{10, 8, std::vector<std::uint8_t>(10 * 8 * 3)};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      std::uint8_t* p = &bitmap.Bgr[static_cast<std::size_t>((y * 10 + x) * 3)];
      p[0] = static_cast<std::uint8_t>(y * 32);      // blue grows downwards
      p[1] = static_cast<std::uint8_t>((x + y) % 2 ? 255 : 80);
      p[2] = static_cast<std::uint8_t>(x * 25);      // red grows to the right
    }
  dc.StretchDIBits(1280, 400, 40, 32, bitmap);    // its own size: 10 x 8 pixels
  dc.StretchDIBits(1360, 400, 120, 96, bitmap);   // three times as large
  Caption(dc, 1280, 560, "10 x 8 bitmap, x1 and x3");

  const BrushHandle fill = dc.CreateBrushIndirect({BS_SOLID, RGB(255, 220, 220)});
  dc.FillRect({1620, 60, 1840, 320}, fill);
  dc.DeleteObject(fill);
  Caption(dc, 1620, 360, "FillRect");
}

void Texts(DeviceContext& dc) {
  // Bottom-aligned text in four directions about one point, marked by a cross.
  const Coord cx = 1300, cy = 1100;
  {
    Selected pen(dc, dc.CreatePen(PS_SOLID, 0, clRed));
    dc.MoveTo(cx - 40, cy);
    dc.LineTo(cx + 41, cy);
    dc.MoveTo(cx, cy - 40);
    dc.LineTo(cx, cy + 41);
  }
  dc.SetTextColor(clBlack);
  for (std::int32_t escapement : {0, 900, 1800, 2700}) {
    Selected font(dc, dc.CreateFontIndirect(Font(12, escapement)));
    dc.TextOut(cx, cy, " Taxon " + std::to_string(escapement / 10) + "\xC2\xB0 gy");
  }
  Caption(dc, 80, 1340, "bottom-aligned text, 0, 90, 180, 270 degrees");

  // Text styles as names are drawn.
  LogFont bold = Font(11, 0, FW_BOLD);
  LogFont italic = Font(11);
  italic.Italic = true;
  LogFont underline = Font(11);
  underline.Underline = true;
  LogFont fixed = Font(11);
  fixed.FaceName = "FixedSys";
  fixed.Pitch = FIXED_PITCH;
  Coord y = 900;
  for (const LogFont& f : {bold, italic, underline, fixed}) {
    Selected font(dc, dc.CreateFontIndirect(f));
    dc.SetTextColor(clNavy);
    dc.TextOut(80, y, "Homo sapiens 0.123");
    y += 70;
  }
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(clAqua);
  {
    Selected font(dc, dc.CreateFontIndirect(Font(11)));
    dc.TextOut(80, y, "opaque background");
  }
  dc.SetBkMode(TRANSPARENT);
}

Picture RecordDemo(const DeviceInfo& screen) {
  PictureRecorder dc(PictureFrameFromPixels(kWidth, kHeight, screen), screen);
  dc.SetGraphicsMode(GM_ADVANCED);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(4 * kWidth, 4 * kHeight);
  dc.SetViewportExt(kWidth, kHeight);
  dc.SetBkMode(TRANSPARENT);
  dc.SetBkColor(clWhite);
  dc.SetROP2(R2_COPYPEN);
  dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
  Strokes(dc);
  Fills(dc);
  Shapes(dc);
  Texts(dc);
  if (dc.LiveObjectCount() != 0) std::cerr << "picturedemo: " << dc.LiveObjectCount() << " objects left\n";
  return dc.Close();
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const std::string dir = argc > 1 ? argv[1] : ".";
  try {
    const Picture picture = RecordDemo(ScreenDeviceInfo());
    SavePicturePng(picture, dir + "/picturedemo.png");
    SavePicturePdf(picture, dir + "/picturedemo.pdf");
    SavePictureSvg(picture, dir + "/picturedemo.svg");
    SavePicturePng(RecordControlsSheet(ScreenDeviceInfo()), dir + "/picturedemo-controls.png");
  } catch (const Exception& e) {
    std::cerr << "picturedemo: " << e.Message() << "\n";
    return 1;
  }
  std::cout << "wrote " << dir << "/picturedemo.png, .pdf, .svg and picturedemo-controls.png\n";
  return 0;
}
