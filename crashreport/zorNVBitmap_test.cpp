#include "crashreport/zorNVBitmap.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "crashreport/zorNVBitmap_p.h"

namespace zor {
namespace {

namespace fs = std::filesystem;
using detail::CaptureRect;
using detail::CaptureWindow;
using detail::Contributor;

std::shared_ptr<TINVBitmap> MakeBitmap(int w, int h, const std::vector<uint32_t>& topDown) {
  auto b = TINVBitmap::Create(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->SetPixel(x, y, topDown[size_t(y) * w + x]);
  return b;
}

std::vector<uint32_t> PixelsOf(const INVBitmap& bitmap) {
  const auto& b = static_cast<const TINVBitmap&>(bitmap);
  std::vector<uint32_t> out;
  for (int y = 0; y < b.PixelHeight(); ++y)
    for (int x = 0; x < b.PixelWidth(); ++x) out.push_back(b.PixelAt(x, y));
  return out;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool HasProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "zorbitmap-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  fs::path dir_;
};

// --- Bitmap -----------------------------------------------------------------------

TEST(NVBitmap, CreateRefusesSizesTheFilesCannotHold) {
  struct Row {
    int w, h;
    bool made;
  } rows[] = {{1, 1, true}, {0, 5, false}, {5, -1, false}, {TINVBitmap::kMaxSide + 1, 1, false},
              {TINVBitmap::kMaxSide, TINVBitmap::kMaxSide, false}, {4096, 4096, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.w) + "x" + std::to_string(r.h));
    EXPECT_EQ(TINVBitmap::Create(r.w, r.h) != nullptr, r.made);
  }
}

TEST(NVBitmap, PixelsAreBottomUpBlueGreenRedZero) {
  auto b = MakeBitmap(2, 2, {0x112233, 0x445566, 0x778899, 0xAABBCC});
  const uint8_t expected[] = {0x99, 0x88, 0x77, 0, 0xCC, 0xBB, 0xAA, 0, 0x33, 0x22, 0x11, 0, 0x66, 0x55, 0x44, 0};
  EXPECT_EQ(std::vector<uint8_t>(b->Bits(), b->Bits() + 16), std::vector<uint8_t>(expected, expected + 16));
  EXPECT_EQ(b->Header().sizeImage, 16u);
}

TEST(NVBitmap, PaintToDrawsTopRowFirst) {
  auto b = MakeBitmap(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  QImage target(4, 4, QImage::Format_RGB32);
  target.fill(Qt::black);
  {
    QPainter painter(&target);
    EXPECT_TRUE(b->PaintTo(painter, 1, 2));
  }
  EXPECT_EQ(target.pixel(1, 2) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(target.pixel(2, 2) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(target.pixel(1, 3) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(target.pixel(0, 0) & 0xFFFFFF, 0u);
  QPainter inactive;
  EXPECT_FALSE(b->PaintTo(inactive, 0, 0));
}

// --- BMP files --------------------------------------------------------------------

TEST(NVBitmap, BmpFileImageHasBothHeadersAndTheBits) {
  auto b = MakeBitmap(3, 1, {0x010203, 0x040506, 0x070809});
  const std::string file = b->BmpFileImage();
  const std::string expectedHeaders(
      "BM\x42\0\0\0\0\0\0\0\x36\0\0\0"                   // size 54 + 12, pixel offset 54
      "\x28\0\0\0\3\0\0\0\1\0\0\0\1\0\x20\0\0\0\0\0"      // 40, width 3, height 1, 1 plane, 32 bits
      "\x0c\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0",       // image size 12, the rest 0
      54);
  ASSERT_EQ(file.size(), 66u);
  EXPECT_EQ(file.substr(0, 54), expectedHeaders);
  EXPECT_EQ(file.substr(54), std::string("\3\2\1\0\6\5\4\0\x9\x8\x7\0", 12));
}

TEST_F(TempDir, BmpRoundTripsThroughLoadBitmapFile) {
  auto b = MakeBitmap(3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFEDCBA, 0x000000});
  const fs::path path = dir_ / "shot.bmp";
  ASSERT_TRUE(b->WriteBmpFile(path.string()));
  INVBitmapPtr loaded = LoadBitmapFile(path.string());
  ASSERT_TRUE(loaded);
  EXPECT_EQ(PixelsOf(*loaded), PixelsOf(*b));
  if (HasProgram("identify")) {
    const std::string command = "identify -format '%w %h' '" + path.string() + "' > '" + (dir_ / "id").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(dir_ / "id"), "3 2");
  }
}

TEST_F(TempDir, LoadBitmapFileReadsABmpWrittenByImageMagick) {
  if (!HasProgram("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  const fs::path path = dir_ / "im.bmp";
  const std::string command = "convert -size 3x2 xc:'#102030' -fill '#FF8000' -draw 'point 2,0' -fill '#00FFFF' "
                              "-draw 'point 0,1' -type TrueColor bmp3:'" + path.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  INVBitmapPtr loaded = LoadBitmapFile(path.string());
  ASSERT_TRUE(loaded);
  EXPECT_EQ(PixelsOf(*loaded), (std::vector<uint32_t>{0x102030, 0x102030, 0xFF8000, 0x00FFFF, 0x102030, 0x102030}));
}

TEST_F(TempDir, LoadBitmapFileAnswersNilForWhatItCannotRead) {
  std::ofstream(dir_ / "garbage.bmp", std::ios::binary) << "BM not really a bitmap";
  std::ofstream(dir_ / "empty.png", std::ios::binary);
  for (const char* name : {"missing.bmp", "garbage.bmp", "empty.png"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(LoadBitmapFile((dir_ / name).string()));
  }
}

TEST_F(TempDir, WritesTruncateAnOldFileAndFailWithoutAFolder) {
  auto big = TINVBitmap::Create(50, 50);
  auto small = TINVBitmap::Create(2, 2);
  const fs::path path = dir_ / "shot.bmp";
  ASSERT_TRUE(big->WriteBmpFile(path.string()));
  ASSERT_TRUE(small->WriteBmpFile(path.string()));
  EXPECT_EQ(fs::file_size(path), 54u + 16u);
  ASSERT_TRUE(small->WritePngFile((dir_ / "shot.png").string(), 0));
  EXPECT_EQ(ReadFile(dir_ / "shot.png").substr(1, 3), "PNG");
  EXPECT_FALSE(small->WriteBmpFile((dir_ / "no" / "such.bmp").string()));
  EXPECT_FALSE(small->WritePngFile((dir_ / "no" / "such.png").string(), 1));
}

// A write cut short by the file-size limit leaves no partial file behind.
TEST_F(TempDir, AShortWriteDeletesThePartialFile) {
  for (const char* name : {"cut.bmp", "cut.png"}) {
    SCOPED_TRACE(name);
    const fs::path path = dir_ / name;
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{100, 100};
      setrlimit(RLIMIT_FSIZE, &limit);
      auto b = MakeBitmap(64, 64, std::vector<uint32_t>(64 * 64, 0x336699));
      for (int i = 0; i < 64 * 64; ++i) b->SetPixel(i % 64, i / 64, uint32_t(i * 2654435761u) & 0xFFFFFF);
      const bool written = std::string(name).ends_with(".bmp") ? b->WriteBmpFile(path.string())
                                                                : b->WritePngFile(path.string(), 0);
      _exit(written ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write reported success";
    EXPECT_FALSE(fs::exists(path));
  }
}

// --- Zoom -------------------------------------------------------------------------

TEST(NVBitmapZoom, FitKeepsTheAspectRatio) {
  struct Row {
    int sw, sh, w, h, ew, eh;
  } rows[] = {
      {1000, 500, 200, 200, 200, 100},  // the width limits
      {500, 1000, 200, 200, 100, 200},  // the height limits
      {300, 300, 100, 50, 50, 50},
      {640, 480, 320, 240, 320, 240},   // same ratio
      {1000, 1, 10, 10, 10, 1},         // never thinner than a pixel
      {7, 3, 100, 100, 100, 42},        // enlarging: 3 * 100 / 7, truncated
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.sw) + "x" + std::to_string(r.sh) + " into " + std::to_string(r.w) + "x" +
                 std::to_string(r.h));
    const detail::ScaledSize s = detail::FitScaledSize(r.sw, r.sh, r.w, r.h);
    EXPECT_EQ(s.width, r.ew);
    EXPECT_EQ(s.height, r.eh);
  }
  auto picture = TINVBitmap::Create(1000, 500);
  INVBitmapPtr copy = picture->ScaledCopy(200, 200);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->PixelWidth(), 200);
  EXPECT_EQ(copy->PixelHeight(), 100);
  EXPECT_FALSE(picture->ScaledCopy(0, 10));
}

// Weights by hand for 4 -> 2 (scale 1/2): filter(d) * 1/2 * 65536, rounded;
// filter(0) = 8/9, filter(1/2) = 0.534722, filter(1) = 1/18,
// filter(3/2) = -0.0347222. Indices -1..-3 mirror to 1..3, 4 and 5 to 3 and 2.
TEST(NVBitmapZoom, ShrinkingWeightsMatchTheFilterByHand) {
  const auto list = detail::Contributors(4, 2);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], (std::vector<Contributor>{
                         {3, -1138}, {2, 1820}, {1, 17522}, {0, 29127}, {1, 17522}, {2, 1820}, {3, -1138}}));
  EXPECT_EQ(list[1], (std::vector<Contributor>{
                         {1, -1138}, {0, 1820}, {1, 17522}, {2, 29127}, {3, 17522}, {3, 1820}, {2, -1138}}));
  // Keeping the size: 1/18, 8/9, 1/18 of the neighbours, summing to 65536.
  EXPECT_EQ(detail::Contributors(3, 3)[1], (std::vector<Contributor>{{0, 3641}, {1, 58254}, {2, 3641}}));
}

// A step edge 0, 0, 255, 255 shrunk to two pixels: the left one gets
// 255 * (2 * 1820 - 2 * 1138) >> 16 = 5, the right one
// 255 * (29127 + 17522 + 1820 - 1138) >> 16 = 184.
TEST(NVBitmapZoom, StepEdgeFollowsTheIntegerSums) {
  auto edge = MakeBitmap(4, 1, {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF});
  INVBitmapPtr copy = edge->ScaledCopy(2, 1);
  ASSERT_TRUE(copy);
  EXPECT_EQ(PixelsOf(*copy), (std::vector<uint32_t>{0x050505, 0xB8B8B8}));
}

// Pictures narrower than the filter mirror past their other edge; every index
// must stay inside (the sanitizers catch a stray read).
TEST(NVBitmapZoom, TinyPicturesStayInsideTheirPixels) {
  struct Row {
    int sw, sh, w, h;
  } rows[] = {{1, 1, 5, 5}, {2, 3, 7, 7}, {3, 1, 1, 1}, {1, 9, 4, 4}, {2, 2, 1, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.sw) + "x" + std::to_string(r.sh));
    auto b = MakeBitmap(r.sw, r.sh, std::vector<uint32_t>(size_t(r.sw * r.sh), 0x80FF00));
    for (const auto& row : detail::Contributors(r.sw, 5))
      for (const Contributor& c : row) EXPECT_TRUE(c.index >= 0 && c.index < r.sw);
    INVBitmapPtr copy = b->ScaledCopy(r.w, r.h);
    ASSERT_TRUE(copy);
    // One colour stays that colour, give or take the rounded weights (their
    // sum can be 65535) truncated once per pass.
    for (uint32_t p : PixelsOf(*copy)) {
      EXPECT_NEAR(int(p >> 16), 0x80, 2);
      EXPECT_NEAR(int((p >> 8) & 0xFF), 0xFF, 2);
      EXPECT_NEAR(int(p & 0xFF), 0, 2);
    }
  }
}

// --- Capture planning -------------------------------------------------------------

std::string RegionText(const std::vector<CaptureRect>& region) {
  std::string s;
  for (const CaptureRect& r : region)
    s += "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
  return s;
}

TEST(NVBitmapCapturePlan, RegionsAreWindowsMinusEverythingAbove) {
  const CaptureRect screen{0, 0, 100, 100};
  const CaptureWindow own1{{10, 10, 30, 30}, true, true};
  const CaptureWindow own2{{50, 10, 70, 20}, true, true};
  struct Row {
    const char* name;
    std::vector<CaptureWindow> windows;  // bottom first
    std::optional<std::string> box, region;
  } rows[] = {
      {"one window", {own1}, "(10,10,30,30)", "(10,10,30,30)"},
      {"right half covered by another process",
       {own1, {{20, 0, 40, 40}, false, true}},
       "(10,10,30,30)",
       "(10,10,20,30)"},
      {"covered from below does not count", {{{20, 0, 40, 40}, false, true}, own1}, "(10,10,30,30)",
       "(10,10,30,30)"},
      {"a hidden window above covers nothing", {own1, {{0, 0, 100, 100}, false, false}}, "(10,10,30,30)",
       "(10,10,30,30)"},
      {"two windows span their box", {own1, own2}, "(10,10,70,30)", "(10,10,30,30)(50,10,70,20)"},
      {"own window above own window", {own1, {{20, 20, 40, 40}, true, true}}, "(10,10,40,40)",
       "(10,10,30,20)(10,20,20,30)(20,20,40,40)"},
      {"a hole in the middle", {own1, {{15, 15, 25, 25}, false, true}}, "(10,10,30,30)",
       "(10,10,30,15)(10,25,30,30)(10,15,15,25)(25,15,30,25)"},
      {"clipped to the screen", {{{-10, 90, 20, 120}, true, true}}, "(0,90,20,100)", "(0,90,20,100)"},
      {"every window minimised", {{own1.rect, true, false}, {own2.rect, true, false}}, std::nullopt, std::nullopt},
      {"an empty window", {{{10, 10, 10, 30}, true, true}}, std::nullopt, std::nullopt},
      {"fully covered", {own1, {{0, 0, 100, 100}, false, true}}, std::nullopt, std::nullopt},
      {"off the screen", {{{200, 200, 300, 300}, true, true}}, std::nullopt, std::nullopt},
      {"no window of ours", {{{10, 10, 30, 30}, false, true}}, std::nullopt, std::nullopt},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const auto plan = detail::PlanApplicationCapture(r.windows, screen);
    ASSERT_EQ(plan.has_value(), r.box.has_value());
    if (!plan) continue;
    EXPECT_EQ(RegionText({plan->box}), *r.box);
    EXPECT_EQ(RegionText(plan->region), *r.region);
  }
}

TEST(NVBitmapCapturePlan, CursorBlendsByAlphaAndClipsAtTheEdges) {
  auto b = MakeBitmap(3, 2, std::vector<uint32_t>(6, 0x808080));
  // Opaque red, half-transparent white (premultiplied), fully transparent.
  const uint32_t cursor[] = {0xFFFF0000, 0x80808080, 0x00000000, 0xFF00FF00};
  detail::DrawCursorImage(*b, 1, 0, 2, 2, cursor);
  EXPECT_EQ(PixelsOf(*b), (std::vector<uint32_t>{0x808080, 0xFF0000, 0xC0C0C0, 0x808080, 0x808080, 0x00FF00}));
  const uint32_t blank[4] = {};
  auto before = PixelsOf(*b);
  detail::DrawCursorImage(*b, -1, -1, 2, 2, blank);
  detail::DrawCursorImage(*b, 2, 1, 2, 2, cursor);  // only its top-left pixel lands
  before[5] = 0xFF0000;
  EXPECT_EQ(PixelsOf(*b), before);
}

// Without any X server the capture answers nil, quickly.
TEST(NVBitmapCapturePlan, NoDisplayGivesNoScreenshot) {
  const char* saved = std::getenv("DISPLAY");
  const std::string keep = saved ? saved : "";
  for (const char* display : {"", ":4711", "localhost:4711"}) {
    SCOPED_TRACE(display);
    setenv("DISPLAY", display, 1);
    EXPECT_FALSE(TakeScreenshot(false));
    EXPECT_FALSE(TakeScreenshot(true));
  }
  unsetenv("DISPLAY");
  EXPECT_FALSE(TakeScreenshot(false));
  if (saved) setenv("DISPLAY", keep.c_str(), 1);
}

}  // namespace
}  // namespace zor
