// Text with rectangles and advances, text measures and the brush origin of
// DeviceContext.

#include <cstdlib>

#include "platform/core/Codecs.h"
#include "platform/graphics/DeviceContext.h"

namespace {

const TextMeasurer& FixedMeasurer() {
  static const FixedTextMeasurer measurer;
  return measurer;
}

}  // namespace

Point DeviceContext::SetBrushOrgEx(Coord x, Coord y) {
  const PointI to{CheckedInt32(x), CheckedInt32(y)};
  const Point previous = GetBrushOrgEx();
  state_.brushOrigin = to;
  Apply({.op = Op::SetBrushOrg, .a = to.x, .b = to.y});
  return previous;
}

bool DeviceContext::ExtTextOut(Coord x, Coord y, std::uint32_t options, const Rect* rect, std::string_view text,
                               std::span<const std::int32_t> advances) {
  const std::int32_t x32 = CheckedInt32(x), y32 = CheckedInt32(y);
  PointI corners[2];
  if (rect) {
    corners[0] = {CheckedInt32(rect->left), CheckedInt32(rect->top)};
    corners[1] = {CheckedInt32(rect->right), CheckedInt32(rect->bottom)};
  }
  if (!advances.empty() && advances.size() != Utf8CodePointCount(text)) return false;
  options = rect ? options & (ETO_OPAQUE | ETO_CLIPPED) : 0;
  if (text.empty() && !(options & ETO_OPAQUE)) return true;
  Apply({.op = Op::ExtTextOut,
         .a = x32,
         .b = y32,
         .id = options,
         .points = options ? std::span<const PointI>(corners) : std::span<const PointI>(),
         .text = text,
         .advances = advances});
  return true;
}

Size DeviceContext::GetTextExtentPoint(std::string_view text) const {
  const LogFont* font = FontOf(state_.font);
  const TFontData data = FontDataOfLogFont(font ? *font : LogFont{});
  return {measurer_->TextWidth(data, text), measurer_->TextHeight(data, text)};
}

void DeviceContext::SetTextMeasurer(const TextMeasurer* measurer) {
  measurer_ = measurer ? measurer : &FixedMeasurer();
}
