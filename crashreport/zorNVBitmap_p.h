#pragma once
// Internals of zorNVBitmap, open to its tests.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "crashreport/zorNVBitmap.h"

class QImage;

namespace zor::detail {

// --- Files ----------------------------------------------------------------------

// Creates `path` afresh (O_TRUNC) and writes `bytes`; a failed or short write
// or close deletes the file and answers false.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// A 32-bit copy of `image`; nil for a null image or one TINVBitmap refuses.
std::shared_ptr<TINVBitmap> BitmapFromImage(const QImage& image);

// --- Zoom -----------------------------------------------------------------------

// The size ScaledCopy gives a picture of sourceWidth x sourceHeight asked to
// fit into width x height: the width limits when the height ratio, in 16.16
// fixed point, is below the width ratio; the other side follows the picture's
// ratio, truncated, and is at least 1.
struct ScaledSize {
  int width;
  int height;
};
ScaledSize FitScaledSize(int sourceWidth, int sourceHeight, int width, int height);

// One source pixel's share of a destination pixel, the weight in 16.16.
struct Contributor {
  int index;
  int weight;
  bool operator==(const Contributor&) const = default;
};
// The contributors of every destination pixel along one axis, with the
// Mitchell-Netravali cubic (B = C = 1/3). Source indices outside 0..source-1
// are mirrored and then held inside the picture.
std::vector<std::vector<Contributor>> Contributors(int source, int destination);

// --- Capture --------------------------------------------------------------------

// Right and bottom exclusive, in root coordinates.
struct CaptureRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const CaptureRect&) const = default;
};

// A top-level window as the capture sees it.
struct CaptureWindow {
  CaptureRect rect;
  bool ownProcess = false;
  bool visible = false;  // viewable and not hidden by the window manager
};

// What an application-only capture takes: the box (inside `area`) and the
// parts of it that show this process's windows.
struct CapturePlan {
  CaptureRect box;
  std::vector<CaptureRect> region;
};

// `windows` are in stacking order, bottom first. The box surrounds every
// visible, non-empty window of this process, clipped to `area`; the region is
// each such window's rectangle minus every visible window above it (of any
// process). Nothing when no such window exists or the region is empty.
std::optional<CapturePlan> PlanApplicationCapture(const std::vector<CaptureWindow>& windows,
                                                  const CaptureRect& area);

// `rects` minus `cut`, as disjoint rectangles.
std::vector<CaptureRect> SubtractRect(const std::vector<CaptureRect>& rects, const CaptureRect& cut);

// Draws a cursor image of premultiplied ARGB pixels (`width` x `height`,
// top row first) with its top-left corner at (x, y) of the bitmap (top-down
// coordinates), blending by its alpha; parts outside the bitmap are left out.
void DrawCursorImage(TINVBitmap& bitmap, int x, int y, int width, int height, const uint32_t* argb);

}  // namespace zor::detail
