#include "platform/ui/CursorResource.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QFile>
#include <QPixmap>
#include <string>
#include <vector>

#include "platform/core/ResourceStore.h"

namespace {

std::string Seed(const char* name) {
  QFile file(QString(KESTOVA_UI_TESTDATA) + "/cursor/" + name);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  const QByteArray bytes = file.readAll();
  return bytes.toStdString();
}

std::optional<TCursorImage> Decode(const std::string& bytes) {
  return DecodeCursorFile({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

TEST(CursorFiles, TheFirstImageIsTakenWithItsHotSpot) {
  const auto arrow = Decode(Seed("arrow.cur"));
  ASSERT_TRUE(arrow);
  EXPECT_EQ(arrow->Image.size(), QSize(32, 32));
  EXPECT_EQ(arrow->HotSpot, QPoint(3, 4));
  EXPECT_EQ(arrow->Image.pixelColor(3, 4), QColor(Qt::white));  // the tip, on the edge
  EXPECT_EQ(arrow->Image.pixelColor(4, 10), QColor(Qt::black));
  EXPECT_EQ(arrow->Image.pixelColor(20, 4).alpha(), 0);

  const auto two = Decode(Seed("two.cur"));
  ASSERT_TRUE(two);
  EXPECT_EQ(two->Image.size(), QSize(16, 16));
  EXPECT_EQ(two->HotSpot, QPoint(7, 7));
  EXPECT_EQ(two->Image.pixelColor(0, 0), QColor(Qt::red));
}

TEST(CursorFiles, BrokenFilesAreNoCursors) {
  const std::string good = Seed("arrow.cur");
  auto with = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
    std::string s = good;
    for (std::size_t i = 0; i < bytes.size(); ++i) s[at + i] = static_cast<char>(bytes[i]);
    return s;
  };
  const struct {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"empty", ""},
      {"header only", good.substr(0, 6)},
      {"an icon, not a cursor", with(2, {1, 0})},
      {"no images", with(4, {0, 0})},
      {"reserved not 0", with(0, {1, 0})},
      {"data past the end", with(14, {0xFF, 0xFF, 0, 0})},
      {"offset past the end", with(18, {0xFF, 0xFF, 0xFF, 0x7F})},
      {"offset and size wrapping", with(14, {0xFF, 0xFF, 0xFF, 0xFF, 22, 0, 0, 0})},
      {"hot spot outside", with(10, {32, 0})},
      {"truncated image", good.substr(0, 100)},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_FALSE(Decode(r.bytes));
  }
}

TEST(CursorFiles, AResourceIsRegisteredUnderItsNumber) {
  ResourceStore::Instance().Inject("CursorTest", "CURSOR", "TREEDRAGCOPY", Seed("arrow.cur"));
  ResourceStore::Instance().Inject("CursorTest", "CURSOR", "BROKEN", "not a cursor");
  EXPECT_TRUE(LoadCursorResource(102, "cursortest", "TreeDragCopy"));
  EXPECT_EQ(Screen->Cursors(102).shape(), Qt::BitmapCursor);
  EXPECT_EQ(Screen->Cursors(102).hotSpot(), QPoint(3, 4));
  EXPECT_EQ(Screen->Cursors(102).pixmap().size(), QSize(32, 32));
  EXPECT_FALSE(LoadCursorResource(103, "CursorTest", "BROKEN"));
  EXPECT_FALSE(LoadCursorResource(103, "CursorTest", "MISSING"));
  EXPECT_EQ(Screen->Cursors(103).shape(), Qt::ArrowCursor);
  Screen->RemoveCursor(102);
  ResourceStore::Instance().RemoveInjected("CursorTest", "CURSOR", "TREEDRAGCOPY");
  ResourceStore::Instance().RemoveInjected("CursorTest", "CURSOR", "BROKEN");
}

}  // namespace
