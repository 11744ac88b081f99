// zorcapture_helper X Y WIDTH HEIGHT RRGGBB: a window of another process for
// the capture tests. It shows one plain colour at the given place, prints
// "ready" once the server has it, and closes when its standard input ends.
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: zorcapture_helper X Y WIDTH HEIGHT RRGGBB\n");
    return 2;
  }
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_window_t w = xcb_generate_id(c);
  const uint32_t values[] = {uint32_t(std::strtoul(argv[5], nullptr, 16)), 1};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, int16_t(std::atoi(argv[1])), int16_t(std::atoi(argv[2])),
                    uint16_t(std::atoi(argv[3])), uint16_t(std::atoi(argv[4])), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
  const char* name = "_NET_WM_PID";
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
  const uint32_t pid = uint32_t(getpid());
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom->atom, XCB_ATOM_CARDINAL, 32, 1, &pid);
  std::free(atom);
  xcb_map_window(c, w);
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // a round trip: the map is done
  std::printf("ready\n");
  std::fflush(stdout);
  char buffer[64];
  while (read(0, buffer, sizeof buffer) > 0) {
  }
  xcb_disconnect(c);
  return 0;
}
