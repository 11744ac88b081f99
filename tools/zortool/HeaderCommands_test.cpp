// zortool header against the system's own tools: hostname, id, uname,
// /etc/os-release, nproc, free and df.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

// name -> value of every "name<blanks>: value" line; also checks the column.
std::map<std::string, std::string> HeaderItems(const std::string& text, size_t& column) {
  std::map<std::string, std::string> items;
  std::istringstream in(text);
  std::string line;
  column = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t colon = line.find(": ");
    if (colon == std::string::npos) continue;
    if (column == 0) column = colon;
    EXPECT_EQ(colon, column) << line;
    std::string name = line.substr(0, colon);
    name.erase(name.find_last_not_of(' ') + 1);
    items[name] = line.substr(colon + 2);
  }
  return items;
}

// "12.34 GB" and the like in bytes.
double SizeOf(const std::string& text) {
  const double number = std::stod(text);
  const std::string unit = text.substr(text.find(' ') + 1);
  const double scale = unit == "GB" ? 1073741824.0 : unit == "MB" ? 1048576.0 : unit == "KB" ? 1024.0 : 1.0;
  return number * scale;
}

TEST(ZortoolHeader, AgreesWithTheSystemsTools) {
  const std::string text = Output(std::string("'") + ZORTOOL_PATH + "' header");
  size_t column = 0;
  auto items = HeaderItems(text, column);
  ASSERT_FALSE(items.empty()) << text;
  size_t longest = 0;
  for (const auto& [name, value] : items) longest = std::max(longest, name.size());
  EXPECT_EQ(column, longest + 1);

  EXPECT_EQ(items["computer name"], Output("hostname"));
  const std::string groups = " " + Output("id -Gn") + " ";
  const bool admin = Output("id -u") == "0" || groups.find(" sudo ") != std::string::npos ||
                     groups.find(" wheel ") != std::string::npos;
  // The layout reduces the two blanks before "<admin>" to one.
  EXPECT_EQ(items["user name"], Output("id -un") + (admin ? " <admin>" : ""));
  const std::string prettyName = Output(". /etc/os-release && printf %s \"$PRETTY_NAME\"");
  EXPECT_EQ(items["operating system"], prettyName + " x64 build " + Output("uname -r"));
  EXPECT_EQ(items.count("wts client name"), std::getenv("SSH_CONNECTION") ? 1u : 0u);
  EXPECT_EQ(items.count("registered owner"), 0u);

  const int processors = std::min(std::stoi(Output("nproc")), 16);
  if (processors == 1)
    EXPECT_NE(items["processor"], "");
  else
    EXPECT_EQ(items["processors"].substr(0, items["processors"].find('x')), std::to_string(processors));

  // free -m: total and available in MiB, cut where the header rounds.
  std::istringstream free(Output("free -m | awk '/^Mem:/ {print $2, $7}'"));
  long total = 0, available = 0;
  free >> total >> available;
  long headerAvailable = 0, headerTotal = 0;
  ASSERT_EQ(std::sscanf(items["physical memory"].c_str(), "%ld/%ld MB (free/total)", &headerAvailable, &headerTotal), 2)
      << items["physical memory"];
  EXPECT_LE(std::labs(headerTotal - total), 1);
  // Other programs run meanwhile: a tenth of the memory may come or go.
  EXPECT_LE(std::labs(headerAvailable - available), total / 10);

  // df: free space of "/" is its size less what is used.
  std::istringstream df(Output("df -B1 --output=size,used / | tail -1"));
  double size = 0, used = 0;
  df >> size >> used;
  const std::string disk = items["free disk space"];
  ASSERT_EQ(disk.substr(0, 4), "(/) ") << disk;
  EXPECT_NEAR(SizeOf(disk.substr(4)), size - used, (size - used) * 0.01 + 2e7) << disk;

  EXPECT_EQ(items["executable"], "zortool");
  EXPECT_EQ(items["command line"], std::string(ZORTOOL_PATH) + " header");
  EXPECT_EQ(items["exception message"], "The application seems to be frozen.");
  EXPECT_EQ(items["exception number"], "1");
  EXPECT_EQ(items["callstack crc"], "will be calculated soon");
  EXPECT_EQ(items.count("exception class"), 0u);
  for (const char* name :
       {"date/time", "system up time", "program up time", "process id", "allocated memory", "exec. date/time"})
    EXPECT_NE(items[name], "") << name;
}

}  // namespace
