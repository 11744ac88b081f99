// The debug-information test library, built with and without -g.
#include <string>

namespace maplib {

__attribute__((noinline)) int Gamma(int value) {
  volatile int result = value;
  result = result + 7;
  return result;
}

__attribute__((noinline)) std::string Delta(const std::string& text) {
  std::string result = text;
  result += "!";
  return result;
}

}  // namespace maplib

extern "C" __attribute__((noinline)) int maplib_entry(int value) { return maplib::Gamma(value) + 1; }
