// Capture against a real X server. CTest runs this program inside its own
// Xvfb (640x480, 24 bits): the Bare tests with no window manager, the Managed
// tests with an openbox they start themselves.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "crashreport/zorNVBitmap.h"

extern char** environ;

namespace zor {
namespace {

namespace fs = std::filesystem;

struct Rect {
  int x, y, w, h;
  bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

bool WaitFor(const std::function<bool()>& done, int milliseconds = 5000) {
  for (int waited = 0; waited < milliseconds; waited += 20) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

class XSession : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
    c_ = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(c_), 0);
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    ASSERT_EQ(screen_->root_depth, 24);
  }
  void TearDown() override {
    for (auto& [pid, in] : helpers_) {
      close(in);
      int status = 0;
      waitpid(pid, &status, 0);
    }
    if (c_) xcb_disconnect(c_);
  }

  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
  }

  void Sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

  // A window of this process in one colour, mapped.
  xcb_window_t OwnWindow(Rect r, uint32_t rgb) {
    const xcb_window_t w = xcb_generate_id(c_);
    const uint32_t values[] = {rgb};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, screen_->root, int16_t(r.x), int16_t(r.y), uint16_t(r.w),
                      uint16_t(r.h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, XCB_CW_BACK_PIXEL,
                      values);
    const uint32_t pid = uint32_t(getpid());
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, Atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    xcb_map_window(c_, w);
    Sync();
    return w;
  }

  // A window of another process on top of everything.
  void HelperWindow(Rect r, uint32_t rgb) {
    int toHelper[2], fromHelper[2];
    ASSERT_EQ(pipe(toHelper), 0);
    ASSERT_EQ(pipe(fromHelper), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toHelper[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromHelper[1], 1);
    posix_spawn_file_actions_addclose(&actions, toHelper[1]);
    posix_spawn_file_actions_addclose(&actions, fromHelper[0]);
    char colour[16];
    std::snprintf(colour, sizeof colour, "%06x", rgb);
    const std::string args[] = {ZOR_CAPTURE_HELPER, std::to_string(r.x), std::to_string(r.y), std::to_string(r.w),
                                std::to_string(r.h), colour};
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, ZOR_CAPTURE_HELPER, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(toHelper[0]);
    close(fromHelper[1]);
    helpers_.push_back({pid, toHelper[1]});
    char ready[8] = {};
    ASSERT_EQ(read(fromHelper[0], ready, 6), 6);
    close(fromHelper[0]);
    ASSERT_STREQ(ready, "ready\n");
  }

  // Where the cursor lands in a capture of the whole screen.
  Rect CursorRect() {
    std::free(xcb_xfixes_query_version_reply(c_, xcb_xfixes_query_version(c_, 4, 0), nullptr));
    xcb_xfixes_get_cursor_image_reply_t* cursor =
        xcb_xfixes_get_cursor_image_reply(c_, xcb_xfixes_get_cursor_image(c_), nullptr);
    if (!cursor) return {0, 0, 0, 0};
    const Rect r{cursor->x - cursor->xhot, cursor->y - cursor->yhot, cursor->width, cursor->height};
    std::free(cursor);
    return r;
  }

  xcb_connection_t* c_ = nullptr;
  xcb_screen_t* screen_ = nullptr;
  std::vector<std::pair<pid_t, int>> helpers_;
};

// The root as `xwd -root` sees it, as 0xRRGGBB values.
std::vector<uint32_t> XwdRoot(const fs::path& file, int& width, int& height) {
  const std::string command = "xwd -root -silent -out '" + file.string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(file, std::ios::binary);
  const std::string d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto field = [&](int i) {
    const auto* p = reinterpret_cast<const uint8_t*>(d.data()) + 4 * i;
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
  };
  if (d.size() < 100) return {};
  EXPECT_EQ(field(2), 2u);   // Z pixmap
  EXPECT_EQ(field(11), 32u);  // bits per pixel
  EXPECT_EQ(field(14), 0xFF0000u);
  EXPECT_EQ(field(16), 0xFFu);
  width = int(field(4));
  height = int(field(5));
  const bool msbFirst = field(7) == 1;
  const size_t stride = field(12), offset = field(0) + size_t(field(19)) * 12;
  std::vector<uint32_t> pixels;
  if (d.size() < offset + stride * size_t(height)) return {};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto* p = reinterpret_cast<const uint8_t*>(d.data()) + offset + stride * size_t(y) + size_t(x) * 4;
      const uint32_t v = msbFirst ? (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3])
                                  : (uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
      pixels.push_back(v & 0xFFFFFF);
    }
  return pixels;
}

const Rect kRed{20, 20, 100, 80};
const Rect kGreen{160, 40, 100, 80};
const Rect kHelper{70, 10, 50, 100};  // covers the red window's right half

TEST_F(XSession, BareWholeScreenEqualsXwd) {
  OwnWindow(kRed, 0xFF0000);
  OwnWindow({100, 300, 200, 60}, 0x3366CC);
  INVBitmapPtr shot = TakeScreenshot(false);
  ASSERT_TRUE(shot);
  const auto& bitmap = static_cast<const TINVBitmap&>(*shot);
  ASSERT_EQ(bitmap.PixelWidth(), 640);
  ASSERT_EQ(bitmap.PixelHeight(), 480);

  int w = 0, h = 0;
  const std::vector<uint32_t> xwd = XwdRoot(fs::temp_directory_path() / ("zorcapture-" + std::to_string(getpid())), w, h);
  fs::remove(fs::temp_directory_path() / ("zorcapture-" + std::to_string(getpid())));
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 480);
  ASSERT_EQ(xwd.size(), size_t(640 * 480));
  const Rect cursor = CursorRect();
  int compared = 0, differing = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      if (cursor.Contains(x, y)) continue;
      ++compared;
      if (bitmap.PixelAt(x, y) != xwd[size_t(y) * 640 + x] && differing++ < 5)
        ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << bitmap.PixelAt(x, y) << " vs "
                      << xwd[size_t(y) * 640 + x];
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(compared, 640 * 480 - 64 * 64);
  EXPECT_EQ(bitmap.PixelAt(30, 30), 0xFF0000u);
}

TEST_F(XSession, BareApplicationOnlyIsWhiteWhereAnotherProcessCovers) {
  OwnWindow(kRed, 0xFF0000);
  OwnWindow(kGreen, 0x00FF00);
  HelperWindow(kHelper, 0x0000FF);
  // Let the pointer rest far away so that the cursor stays out of the box.
  xcb_warp_pointer(c_, XCB_WINDOW_NONE, screen_->root, 0, 0, 0, 0, 600, 450);
  Sync();

  INVBitmapPtr shot = TakeScreenshot(true);
  ASSERT_TRUE(shot);
  const auto& bitmap = static_cast<const TINVBitmap&>(*shot);
  // The box of the two windows: (20, 20) to (260, 120).
  ASSERT_EQ(bitmap.PixelWidth(), 240);
  ASSERT_EQ(bitmap.PixelHeight(), 100);
  Rect cursor = CursorRect();
  cursor.x -= 20;
  cursor.y -= 20;
  int wrong = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 240; ++x) {
      if (cursor.Contains(x, y)) continue;
      const int sx = x + 20, sy = y + 20;
      uint32_t expected = 0xFFFFFF;
      if (kRed.Contains(sx, sy) && !kHelper.Contains(sx, sy)) expected = 0xFF0000;
      if (kGreen.Contains(sx, sy)) expected = 0x00FF00;
      if (bitmap.PixelAt(x, y) != expected && wrong++ < 5)
        ADD_FAILURE() << "at " << sx << "," << sy << ": " << std::hex << bitmap.PixelAt(x, y);
    }
  EXPECT_EQ(wrong, 0);
}

TEST_F(XSession, BareNoVisibleWindowMeansNoScreenshot) {
  const xcb_window_t w = OwnWindow(kRed, 0xFF0000);
  EXPECT_TRUE(TakeScreenshot(true));
  xcb_unmap_window(c_, w);
  Sync();
  EXPECT_FALSE(TakeScreenshot(true));
  EXPECT_TRUE(TakeScreenshot(false));
}

// Under a window manager the root's children are frames; the process id sits
// on the client inside.
class Managed : public XSession {
 protected:
  // Windows mapped before the start are taken over as openbox starts, which
  // does not race with its start-up the way a map request can.
  void StartWindowManager() {
    char* argv[] = {const_cast<char*>("openbox"), const_cast<char*>("--sm-disable"), nullptr};
    ASSERT_EQ(posix_spawnp(&wm_, "openbox", nullptr, nullptr, argv, environ), 0);
    const xcb_atom_t check = Atom("_NET_SUPPORTING_WM_CHECK");
    ASSERT_TRUE(WaitFor([&] {
      xcb_get_property_reply_t* r =
          xcb_get_property_reply(c_, xcb_get_property(c_, 0, screen_->root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
      const bool running = r && xcb_get_property_value_length(r) == 4;
      std::free(r);
      return running;
    }, 10000)) << "openbox did not start";
  }
  void TearDown() override {
    if (wm_ > 0) {
      kill(wm_, SIGTERM);
      int status = 0;
      waitpid(wm_, &status, 0);
    }
    XSession::TearDown();
  }

  xcb_window_t Parent(xcb_window_t w) {
    xcb_query_tree_reply_t* r = xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr);
    const xcb_window_t parent = r ? r->parent : xcb_window_t(XCB_WINDOW_NONE);
    std::free(r);
    return parent;
  }

  bool Viewable(xcb_window_t w) {
    xcb_get_window_attributes_reply_t* r =
        xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr);
    const bool viewable = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(r);
    return viewable;
  }

  void Iconify(xcb_window_t w) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = w;
    event.type = Atom("WM_CHANGE_STATE");
    event.data.data32[0] = 3;  // IconicState
    xcb_send_event(c_, 0, screen_->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    Sync();
  }

  pid_t wm_ = 0;
};

int CountColour(const TINVBitmap& b, uint32_t rgb) {
  int n = 0;
  for (int y = 0; y < b.PixelHeight(); ++y)
    for (int x = 0; x < b.PixelWidth(); ++x) n += b.PixelAt(x, y) == rgb;
  return n;
}

TEST_F(Managed, MinimisedWindowsGiveNoScreenshot) {
  const xcb_window_t red = OwnWindow({0, 0, 100, 80}, 0xFF0000);
  const xcb_window_t green = OwnWindow({0, 0, 90, 70}, 0x00FF00);
  StartWindowManager();
  if (HasFatalFailure()) return;
  for (xcb_window_t w : {red, green})
    ASSERT_TRUE(WaitFor([&] { return Parent(w) != screen_->root && Viewable(w); })) << "not managed";

  // Framed, the windows are found through their clients.
  INVBitmapPtr shot = TakeScreenshot(true);
  ASSERT_TRUE(shot);
  const auto& bitmap = static_cast<const TINVBitmap&>(*shot);
  EXPECT_GE(bitmap.PixelWidth(), 90);
  EXPECT_GT(CountColour(bitmap, 0x00FF00), 90 * 70 - 32 * 32);
  EXPECT_GT(CountColour(bitmap, 0xFF0000), 0);

  for (xcb_window_t w : {red, green}) Iconify(w);
  for (xcb_window_t w : {red, green}) ASSERT_TRUE(WaitFor([&] { return !Viewable(w); })) << "not minimised";
  EXPECT_FALSE(TakeScreenshot(true));
  EXPECT_TRUE(TakeScreenshot(false));
}

}  // namespace
}  // namespace zor
