// Screen capture over the reporter's own XCB connection. Qt's screen grabbing
// belongs to the GUI thread, which is the very thread that faulted or froze.
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "crashreport/zorNVBitmap.h"
#include "crashreport/zorNVBitmap_p.h"

namespace zor {

namespace detail {

std::vector<CaptureRect> SubtractRect(const std::vector<CaptureRect>& rects, const CaptureRect& cut) {
  std::vector<CaptureRect> out;
  for (const CaptureRect& r : rects) {
    if (cut.Empty() || cut.right <= r.left || cut.left >= r.right || cut.bottom <= r.top || cut.top >= r.bottom) {
      out.push_back(r);
      continue;
    }
    // Bands above and below the cut, then the parts left and right of it.
    const int top = std::max(r.top, cut.top), bottom = std::min(r.bottom, cut.bottom);
    if (r.top < top) out.push_back({r.left, r.top, r.right, top});
    if (bottom < r.bottom) out.push_back({r.left, bottom, r.right, r.bottom});
    if (r.left < cut.left) out.push_back({r.left, top, cut.left, bottom});
    if (cut.right < r.right) out.push_back({cut.right, top, r.right, bottom});
  }
  return out;
}

std::optional<CapturePlan> PlanApplicationCapture(const std::vector<CaptureWindow>& windows,
                                                  const CaptureRect& area) {
  CapturePlan plan;
  bool any = false;
  for (const CaptureWindow& w : windows) {
    if (!w.ownProcess || !w.visible || w.rect.Empty()) continue;
    if (!any) {
      plan.box = w.rect;
      any = true;
    } else {
      plan.box = {std::min(plan.box.left, w.rect.left), std::min(plan.box.top, w.rect.top),
                  std::max(plan.box.right, w.rect.right), std::max(plan.box.bottom, w.rect.bottom)};
    }
  }
  if (!any) return std::nullopt;
  plan.box = {std::max(plan.box.left, area.left), std::max(plan.box.top, area.top),
              std::min(plan.box.right, area.right), std::min(plan.box.bottom, area.bottom)};
  if (plan.box.Empty()) return std::nullopt;

  // Only visible windows count: an unmapped window keeps its geometry under X,
  // and copying its rectangle would show whatever lies there instead.
  for (size_t i = 0; i < windows.size(); ++i) {
    const CaptureWindow& w = windows[i];
    if (!w.ownProcess || !w.visible || w.rect.Empty()) continue;
    std::vector<CaptureRect> visible{w.rect};
    for (size_t above = i + 1; above < windows.size() && !visible.empty(); ++above)
      if (windows[above].visible && !windows[above].rect.Empty()) visible = SubtractRect(visible, windows[above].rect);
    for (CaptureRect r : visible) {
      r = {std::max(r.left, plan.box.left), std::max(r.top, plan.box.top), std::min(r.right, plan.box.right),
           std::min(r.bottom, plan.box.bottom)};
      if (!r.Empty()) plan.region.push_back(r);
    }
  }
  if (plan.region.empty()) return std::nullopt;
  return plan;
}

void DrawCursorImage(TINVBitmap& bitmap, int x, int y, int width, int height, const uint32_t* argb) {
  const int bw = bitmap.PixelWidth(), bh = bitmap.PixelHeight();
  for (int cy = 0; cy < height; ++cy) {
    const int ty = y + cy;
    if (ty < 0 || ty >= bh) continue;
    uint8_t* row = bitmap.Bits() + size_t(bh - 1 - ty) * bitmap.Stride();
    for (int cx = 0; cx < width; ++cx) {
      const int tx = x + cx;
      if (tx < 0 || tx >= bw) continue;
      const uint32_t p = argb[size_t(cy) * size_t(width) + size_t(cx)];
      const uint32_t alpha = p >> 24;
      if (alpha == 0) continue;
      uint8_t* d = row + size_t(tx) * 4;
      // Premultiplied: result = source + destination * (1 - alpha).
      for (int c = 0; c < 3; ++c) {
        const uint32_t s = (p >> (8 * c)) & 0xFF;
        const uint32_t v = s + (d[c] * (255 - alpha) + 127) / 255;
        d[c] = uint8_t(std::min<uint32_t>(v, 255));
      }
    }
  }
}

}  // namespace detail

namespace {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

struct ConnectionCloser {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

xcb_atom_t InternAtom(xcb_connection_t* c, const char* name) {
  Reply<xcb_intern_atom_reply_t> reply(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

struct Atoms {
  xcb_atom_t pid, state, hidden, wmState;
};

bool HasProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t atom) {
  if (atom == XCB_ATOM_NONE) return false;
  Reply<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, w, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 0), nullptr));
  return reply && reply->type != XCB_ATOM_NONE;
}

// The application window behind a top-level window: the window itself, or
// under a window manager the client inside its frame (the first descendant
// that carries the process id or the ICCCM state).
xcb_window_t ClientWindow(xcb_connection_t* c, xcb_window_t w, const Atoms& atoms, int depth = 0) {
  if (HasProperty(c, w, atoms.pid) || HasProperty(c, w, atoms.wmState)) return w;
  if (depth >= 3) return XCB_WINDOW_NONE;
  Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
  if (!tree) return XCB_WINDOW_NONE;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  for (int i = xcb_query_tree_children_length(tree.get()) - 1; i >= 0; --i) {
    const xcb_window_t found = ClientWindow(c, children[i], atoms, depth + 1);
    if (found != XCB_WINDOW_NONE) return found;
  }
  return XCB_WINDOW_NONE;
}

bool OwnedByThisProcess(xcb_connection_t* c, xcb_window_t client, const Atoms& atoms) {
  if (client == XCB_WINDOW_NONE || atoms.pid == XCB_ATOM_NONE) return false;
  Reply<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, client, atoms.pid, XCB_ATOM_CARDINAL, 0, 1), nullptr));
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) return false;
  uint32_t pid = 0;
  std::memcpy(&pid, xcb_get_property_value(reply.get()), 4);
  return pid == uint32_t(::getpid());
}

bool HiddenByWindowManager(xcb_connection_t* c, xcb_window_t client, const Atoms& atoms) {
  if (client == XCB_WINDOW_NONE || atoms.state == XCB_ATOM_NONE || atoms.hidden == XCB_ATOM_NONE) return false;
  Reply<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, client, atoms.state, XCB_ATOM_ATOM, 0, 64), nullptr));
  if (!reply || reply->format != 32) return false;
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  return std::find(values, values + count, atoms.hidden) != values + count;
}

// The root's children, bottom first, with their outer rectangles.
std::vector<detail::CaptureWindow> TopLevelWindows(xcb_connection_t* c, xcb_window_t root, bool needOwner) {
  std::vector<detail::CaptureWindow> windows;
  Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
  if (!tree) return windows;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  const int count = xcb_query_tree_children_length(tree.get());
  Atoms atoms{};
  if (needOwner)
    atoms = {InternAtom(c, "_NET_WM_PID"), InternAtom(c, "_NET_WM_STATE"), InternAtom(c, "_NET_WM_STATE_HIDDEN"),
             InternAtom(c, "WM_STATE")};
  // Ask for every window's attributes and geometry at once, then collect.
  std::vector<xcb_get_window_attributes_cookie_t> attributes(static_cast<size_t>(count));
  std::vector<xcb_get_geometry_cookie_t> geometry(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    attributes[size_t(i)] = xcb_get_window_attributes(c, children[i]);
    geometry[size_t(i)] = xcb_get_geometry(c, children[i]);
  }
  for (int i = 0; i < count; ++i) {
    Reply<xcb_get_window_attributes_reply_t> a(xcb_get_window_attributes_reply(c, attributes[size_t(i)], nullptr));
    Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c, geometry[size_t(i)], nullptr));
    // Input-only windows show nothing and hide nothing.
    if (!a || !g || a->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT) continue;
    detail::CaptureWindow w;
    const int border = 2 * g->border_width;
    w.rect = {g->x, g->y, g->x + g->width + border, g->y + g->height + border};
    w.visible = a->map_state == XCB_MAP_STATE_VIEWABLE;
    if (needOwner && w.visible) {
      const xcb_window_t client = ClientWindow(c, children[i], atoms);
      w.visible = !HiddenByWindowManager(c, client, atoms);
      w.ownProcess = OwnedByThisProcess(c, client, atoms);
    }
    windows.push_back(w);
  }
  return windows;
}

// True colour with 8-bit channels in 32-bit pixels: the only layout copied.
bool RootIsTrueColour32(const xcb_setup_t* setup, const xcb_screen_t* screen) {
  if (screen->root_depth != 24 && screen->root_depth != 32) return false;
  bool bits32 = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == screen->root_depth) bits32 = f.data->bits_per_pixel == 32;
  if (!bits32) return false;
  for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
    for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
      if (v.data->visual_id == screen->root_visual)
        return v.data->red_mask == 0xFF0000 && v.data->green_mask == 0xFF00 && v.data->blue_mask == 0xFF;
  return false;
}

// Copies the box of the root into the bitmap, only inside `region` when one
// is given (the rest stays as it is).
bool CopyRootArea(xcb_connection_t* c, const xcb_setup_t* setup, xcb_window_t root, const detail::CaptureRect& box,
                  const std::vector<detail::CaptureRect>* region, TINVBitmap& bitmap) {
  const int w = box.right - box.left, h = box.bottom - box.top;
  xcb_generic_error_t* error = nullptr;
  Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
      c,
      xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(box.left), int16_t(box.top), uint16_t(w),
                    uint16_t(h), ~0u),
      &error));
  std::free(error);
  if (!image || xcb_get_image_data_length(image.get()) < int64_t(w) * h * 4) return false;
  const uint8_t* data = xcb_get_image_data(image.get());
  const bool msbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
  auto copySpan = [&](int y, int x0, int x1) {
    const uint8_t* in = data + (size_t(y) * size_t(w) + size_t(x0)) * 4;
    uint8_t* out = bitmap.Bits() + size_t(h - 1 - y) * bitmap.Stride() + size_t(x0) * 4;
    for (int x = x0; x < x1; ++x, in += 4, out += 4) {
      if (msbFirst) {
        out[0] = in[3], out[1] = in[2], out[2] = in[1];
      } else {
        out[0] = in[0], out[1] = in[1], out[2] = in[2];
      }
      out[3] = 0;
    }
  };
  if (!region) {
    for (int y = 0; y < h; ++y) copySpan(y, 0, w);
    return true;
  }
  for (const detail::CaptureRect& r : *region)
    for (int y = r.top; y < r.bottom; ++y) copySpan(y - box.top, r.left - box.left, r.right - box.left);
  return true;
}

void DrawCursor(xcb_connection_t* c, const detail::CaptureRect& box, TINVBitmap& bitmap) {
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_xfixes_id);
  if (!extension || !extension->present) return;
  // XFixes answers nothing before its version has been asked.
  Reply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
      c, xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION), nullptr));
  if (!version) return;
  Reply<xcb_xfixes_get_cursor_image_reply_t> cursor(
      xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr));
  if (!cursor) return;
  if (xcb_xfixes_get_cursor_image_cursor_image_length(cursor.get()) < int(cursor->width) * cursor->height) return;
  detail::DrawCursorImage(bitmap, cursor->x - cursor->xhot - box.left, cursor->y - cursor->yhot - box.top,
                          cursor->width, cursor->height, xcb_xfixes_get_cursor_image_cursor_image(cursor.get()));
}

}  // namespace

INVBitmapPtr TakeScreenshot(bool applicationOnly) {
  try {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return nullptr;
    int screenNumber = 0;
    std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(xcb_connect(display, &screenNumber));
    xcb_connection_t* c = connection.get();
    if (!c || xcb_connection_has_error(c)) return nullptr;
    const xcb_setup_t* setup = xcb_get_setup(c);
    auto screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) return nullptr;
    const xcb_screen_t* screen = screens.data;
    if (!RootIsTrueColour32(setup, screen)) return nullptr;

    // The root spans every monitor.
    const detail::CaptureRect area{0, 0, screen->width_in_pixels, screen->height_in_pixels};
    detail::CapturePlan plan{area, {}};
    if (applicationOnly) {
      // The server holds still while the tree is read, so the stacking seen
      // is one moment's.
      xcb_grab_server(c);
      const auto windows = TopLevelWindows(c, screen->root, true);
      xcb_ungrab_server(c);
      xcb_flush(c);
      std::optional<detail::CapturePlan> planned = detail::PlanApplicationCapture(windows, area);
      if (!planned) return nullptr;
      plan = std::move(*planned);
    }
    auto bitmap = TINVBitmap::Create(plan.box.right - plan.box.left, plan.box.bottom - plan.box.top);
    if (!bitmap) return nullptr;
    if (applicationOnly) bitmap->Fill(0xFFFFFF);
    if (!CopyRootArea(c, setup, screen->root, plan.box, applicationOnly ? &plan.region : nullptr, *bitmap))
      return nullptr;
    DrawCursor(c, plan.box, *bitmap);
    return bitmap;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace zor
