// Small program for the runner's tests: does what its first argument says.
//   exit <n>          write nothing, exit with n
//   big <n>           write n bytes (a known pattern) to stdout in one call
//   both              write to stdout and stderr in turns, exit 3
//   echo              copy stdin to stdout
//   eof               print "eof" when stdin is at its end on the first read
//   late              sleep 150 ms, then write "late"
//   kill              end by SIGKILL
//   grandchild        leave a grandchild that holds stdout for 5 s, exit 0
//   args ...          print each further argument on its own line
//   detached <file> <ms>  sleep ms, then write its parent's pid to file.tmp
//                     and rename it to file, so the file appears whole

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n <= 0) std::exit(100);
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void WriteText(int fd, const std::string& text) { WriteAll(fd, text.data(), text.size()); }

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "exit") return std::atoi(argv[2]);
  if (mode == "big") {
    const size_t n = std::strtoul(argv[2], nullptr, 10);
    std::string data(n, '\0');
    for (size_t i = 0; i < n; ++i) data[i] = static_cast<char>('a' + i % 26);
    WriteAll(1, data.data(), data.size());
    return 0;
  }
  if (mode == "both") {
    for (int i = 0; i < 3; ++i) {
      WriteText(1, "out" + std::to_string(i) + "\n");
      WriteText(2, "err" + std::to_string(i) + "\n");
    }
    return 3;
  }
  if (mode == "echo" || mode == "eof") {
    char buffer[4096];
    bool first = true;
    for (;;) {
      const ssize_t n = ::read(0, buffer, sizeof buffer);
      if (n <= 0) {
        if (first && mode == "eof") WriteText(1, "eof");
        return 0;
      }
      first = false;
      if (mode == "echo") WriteAll(1, buffer, static_cast<size_t>(n));
    }
  }
  if (mode == "late") {
    ::usleep(150000);
    WriteText(1, "late");
    return 0;
  }
  if (mode == "kill") {
    ::raise(SIGKILL);
  }
  if (mode == "grandchild") {
    if (::fork() == 0) {
      ::sleep(5);
      _exit(0);
    }
    WriteText(1, "parent");
    return 0;
  }
  if (mode == "detached" && argc > 3) {
    ::usleep(static_cast<useconds_t>(std::atoi(argv[3])) * 1000);
    const std::string path = argv[2], temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file) return 101;
    std::fprintf(file, "%d", static_cast<int>(::getppid()));
    std::fclose(file);
    return std::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : 102;
  }
  if (mode == "args") {
    for (int i = 2; i < argc; ++i) WriteText(1, std::string(argv[i]) + "\n");
    return 0;
  }
  return 99;
}
