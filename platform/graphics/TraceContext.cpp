#include "platform/graphics/TraceContext.h"

#include "platform/core/NumberFormat.h"

namespace {

std::string ColorText(TColor color) {
  std::string s = "$";
  s += IntToHex(static_cast<std::uint32_t>(color), 6);
  return s;
}

// name(args); built by appending, which keeps string building cheap.
std::string Call(std::string_view name, std::string_view args) {
  std::string s(name);
  s += '(';
  s += args;
  s += ')';
  return s;
}

std::string Ints(std::initializer_list<std::int32_t> values) {
  std::string s;
  for (std::int32_t v : values) {
    if (!s.empty()) s += ',';
    s += IntToStr(v);
  }
  return s;
}

std::string PointList(std::span<const PointI> points) {
  std::string s;
  for (const PointI& p : points) {
    if (!s.empty()) s += ' ';
    s += IntToStr(p.x) + "," + IntToStr(p.y);
  }
  return s;
}

const char* PitchName(FontPitchRequest pitch) {
  switch (pitch) {
    case FIXED_PITCH: return "FIXED_PITCH";
    case VARIABLE_PITCH: return "VARIABLE_PITCH";
    default: return "DEFAULT_PITCH";
  }
}

const char* DashName(PenDashStyle style) {
  static const char* const names[] = {"PS_SOLID", "PS_DASH", "PS_DOT", "PS_DASHDOT",
                                      "PS_DASHDOTDOT", "PS_NULL", "PS_INSIDEFRAME"};
  return style <= PS_INSIDEFRAME ? names[style] : "PS_SOLID";
}

std::string PenText(const LogPen& pen) {
  if (pen.Type == PS_COSMETIC) return std::string("PS_COSMETIC|") + DashName(pen.Style);
  static const char* const caps[] = {"PS_ENDCAP_ROUND", "PS_ENDCAP_SQUARE", "PS_ENDCAP_FLAT"};
  static const char* const joins[] = {"PS_JOIN_ROUND", "PS_JOIN_BEVEL", "PS_JOIN_MITER"};
  return std::string("PS_GEOMETRIC|") + DashName(pen.Style) + "|" + caps[pen.EndCap % 3] + "|" +
         joins[pen.Join % 3] + "," + IntToStr(pen.Width);
}

std::string BrushText(const LogBrush& brush) {
  static const char* const hatches[] = {"HS_HORIZONTAL", "HS_VERTICAL", "HS_FDIAGONAL",
                                        "HS_BDIAGONAL", "HS_CROSS", "HS_DIAGCROSS"};
  switch (brush.Style) {
    case BS_NULL: return "BS_NULL," + ColorText(brush.Color);
    case BS_HATCHED:
      return "BS_HATCHED," + ColorText(brush.Color) + "," + hatches[brush.Hatch % 6];
    case BS_PATTERN: return "BS_PATTERN," + IntToStr(brush.Pattern.Width) + "x" + IntToStr(brush.Pattern.Height);
    case BS_DIBPATTERN: return "BS_DIBPATTERN," + IntToStr(brush.Image.Width) + "x" + IntToStr(brush.Image.Height);
    default: return "BS_SOLID," + ColorText(brush.Color);
  }
}

std::string AlignText(std::uint32_t flags) {
  const std::uint32_t h = flags & kTextAlignHorizontalMask, v = flags & kTextAlignVerticalMask;
  std::string s = h == TA_CENTER ? "TA_CENTER" : h == TA_RIGHT ? "TA_RIGHT" : "TA_LEFT";
  s += v == TA_BASELINE ? "|TA_BASELINE" : v == TA_BOTTOM ? "|TA_BOTTOM" : "|TA_TOP";
  return s;
}

const char* RopName(std::int32_t rop) {
  static const char* const names[] = {
      "R2_BLACK", "R2_NOTMERGEPEN", "R2_MASKNOTPEN", "R2_NOTCOPYPEN", "R2_MASKPENNOT", "R2_NOT",
      "R2_XORPEN", "R2_NOTMASKPEN", "R2_MASKPEN", "R2_NOTXORPEN", "R2_NOP", "R2_MERGENOTPEN",
      "R2_COPYPEN", "R2_MERGEPENNOT", "R2_MERGEPEN", "R2_WHITE"};
  return rop >= 1 && rop <= 16 ? names[rop - 1] : "R2_COPYPEN";
}

const char* Rop3Name(std::uint32_t rop) {
  switch (rop) {
    case SRCCOPY: return "SRCCOPY";
    case SRCPAINT: return "SRCPAINT";
    case SRCAND: return "SRCAND";
    case SRCINVERT: return "SRCINVERT";
    case DSTINVERT: return "DSTINVERT";
    case PATCOPY: return "PATCOPY";
    case PATINVERT: return "PATINVERT";
    case BLACKNESS: return "BLACKNESS";
    case WHITENESS: return "WHITENESS";
    default: return "?";
  }
}

std::string ExtTextArgs(const DeviceContext::Command& c) {
  std::string s = Ints({c.a, c.b}) + ",";
  const bool opaque = (c.id & ETO_OPAQUE) != 0, clipped = (c.id & ETO_CLIPPED) != 0;
  s += opaque && clipped ? "ETO_OPAQUE|ETO_CLIPPED" : opaque ? "ETO_OPAQUE" : clipped ? "ETO_CLIPPED" : "0";
  if (!c.points.empty()) s += "," + Ints({c.points[0].x, c.points[0].y, c.points[1].x, c.points[1].y});
  s += ",\"";
  s += c.text;
  s += '"';
  if (!c.advances.empty()) {
    s += ',';
    for (std::size_t i = 0; i < c.advances.size(); ++i) {
      if (i) s += ' ';
      s += IntToStr(c.advances[i]);
    }
  }
  return s;
}

}  // namespace

TraceContext::TraceContext() : TraceContext(DeviceInfoFromPixels(1920, 1080, 96)) {}

TraceContext::TraceContext(const DeviceInfo& device) : DeviceContext(device) {}

std::string TraceContext::Text() const {
  std::string s;
  for (const std::string& line : lines_) {
    if (!s.empty()) s += '\n';
    s += line;
  }
  return s;
}

void TraceContext::Apply(const Command& c) {
  const std::string id = IntToStr(c.id);
  std::string line;
  switch (c.op) {
    case Op::SetGraphicsMode:
      line = c.a == GM_ADVANCED ? "SetGraphicsMode(GM_ADVANCED)" : "SetGraphicsMode(GM_COMPATIBLE)";
      break;
    case Op::SetMapMode:
      line = c.a == MM_ANISOTROPIC ? "SetMapMode(MM_ANISOTROPIC)" : "SetMapMode(MM_TEXT)";
      break;
    case Op::SetWindowExt: line = Call("SetWindowExt", Ints({c.a, c.b})); break;
    case Op::SetViewportExt: line = Call("SetViewportExt", Ints({c.a, c.b})); break;
    case Op::SetBkMode: line = c.a == TRANSPARENT ? "SetBkMode(TRANSPARENT)" : "SetBkMode(OPAQUE)"; break;
    case Op::SetBkColor: line = Call("SetBkColor", ColorText(c.a)); break;
    case Op::SetTextColor: line = Call("SetTextColor", ColorText(c.a)); break;
    case Op::SetTextAlign: line = Call("SetTextAlign", AlignText(static_cast<std::uint32_t>(c.a))); break;
    case Op::SetArcDirection:
      line = c.a == AD_CLOCKWISE ? "SetArcDirection(AD_CLOCKWISE)" : "SetArcDirection(AD_COUNTERCLOCKWISE)";
      break;
    case Op::SetROP2: line = Call("SetROP2", RopName(c.a)); break;
    case Op::CreateFont: {
      const LogFont& f = *FontOf(FontHandle{c.id});
      std::string args = Ints({f.Height, f.Escapement, f.Orientation, f.Weight});
      if (f.Italic) args += ",italic";
      if (f.Underline) args += ",underline";
      if (f.StrikeOut) args += ",strikeout";
      args += ',';
      args += PitchName(f.Pitch);
      args += ",\"";
      args += f.FaceName;
      args += '"';
      line = Call("CreateFontIndirect", args) + " -> font#" + id;
      ++created_;
      break;
    }
    case Op::CreatePen: {
      const LogPen& p = *PenOf(PenHandle{c.id});
      line = Call("ExtCreatePen", PenText(p) + "," + ColorText(p.Color)) + " -> pen#" + id;
      ++created_;
      break;
    }
    case Op::CreateBrush:
      line = Call("CreateBrushIndirect", BrushText(*BrushOf(BrushHandle{c.id}))) + " -> brush#" + id;
      ++created_;
      break;
    case Op::SelectFont: line = Call("SelectObject", "font#" + id); break;
    case Op::SelectPen: line = Call("SelectObject", "pen#" + id); break;
    case Op::SelectBrush: line = Call("SelectObject", "brush#" + id); break;
    case Op::DeleteObject: {
      static const char* const kinds[] = {"font#", "pen#", "brush#"};
      line = Call("DeleteObject", kinds[c.a % 3] + id);
      ++deleted_;
      break;
    }
    case Op::MoveTo: line = Call("MoveTo", Ints({c.a, c.b})); break;
    case Op::LineTo: line = Call("LineTo", Ints({c.a, c.b})); break;
    case Op::Polyline: line = Call("Polyline", PointList(c.points)); break;
    case Op::Polygon: line = Call("Polygon", PointList(c.points)); break;
    case Op::PolyBezier: line = Call("PolyBezier", PointList(c.points)); break;
    case Op::Ellipse: line = Call("Ellipse", Ints({c.a, c.b, c.c, c.d})); break;
    case Op::Rectangle: line = Call("Rectangle", Ints({c.a, c.b, c.c, c.d})); break;
    case Op::Arc:
      line = Call("Arc", Ints({c.a, c.b, c.c, c.d, c.points[0].x, c.points[0].y, c.points[1].x, c.points[1].y}));
      break;
    case Op::TextOut: line = Call("TextOut", Ints({c.a, c.b}) + ",\"" + std::string(c.text) + "\""); break;
    case Op::StretchDIBits:
      line = Call("StretchDIBits",
                  Ints({c.a, c.b, c.c, c.d}) + "," + IntToStr(c.bitmap->Width) + "x" + IntToStr(c.bitmap->Height));
      break;
    case Op::FillRect: line = Call("FillRect", Ints({c.a, c.b, c.c, c.d}) + ",brush#" + id); break;
    case Op::IntersectClipRect: line = Call("IntersectClipRect", Ints({c.a, c.b, c.c, c.d})); break;
    case Op::ExcludeClipRect: line = Call("ExcludeClipRect", Ints({c.a, c.b, c.c, c.d})); break;
    case Op::SelectClipRgn: line = c.a == 1 ? "SelectClipRgn(NULL)" : Call("SelectClipRgn", PointList(c.points)); break;
    case Op::SaveDC: line = "SaveDC() -> " + IntToStr(c.a); break;
    case Op::RestoreDC: line = Call("RestoreDC", IntToStr(-c.a)); break;
    case Op::PatBlt: line = Call("PatBlt", Ints({c.a, c.b, c.c, c.d}) + "," + Rop3Name(c.id)); break;
    case Op::StretchBlt:
      line = Call("StretchBlt", Ints({c.a, c.b, c.c, c.d}) + "," + IntToStr(c.image->Width) + "x" +
                                    IntToStr(c.image->Height) + "," +
                                    Ints({c.points[0].x, c.points[0].y, c.points[1].x, c.points[1].y}) + "," +
                                    Rop3Name(c.id) + (c.mask ? ",mask" : ""));
      break;
    case Op::SetBrushOrg: line = Call("SetBrushOrgEx", Ints({c.a, c.b})); break;
    case Op::ExtTextOut: line = Call("ExtTextOut", ExtTextArgs(c)); break;
  }
  lines_.push_back(std::move(line));
}
