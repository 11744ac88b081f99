// What subtree and group attributes, tree switching and stored views do to
// the recorded tree picture.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "tree/view/AttribImage.h"
#include "tree/view/NTreeBox.h"
#include "tree/view/TreeBoxTesting.h"

namespace {

using namespace treeview_testing;
using ::testing::HasSubstr;
using ::testing::Not;

const char* const kTree = "(((A:1,B:2)90:1,(C:3,D:4)80:1)70:1,(E:5,F:6)60:1);";

std::vector<uint8_t> Png(int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  image.fill(qRgb(200, 20, 20));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return {bytes.begin(), bytes.end()};
}

class TreeBoxPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto list = ListFromNewick(kTree);
    list->isRooted = true;
    ASSERT_TRUE(box_.SetTreeList(std::move(list), false));
    box_.RefreshTree();
  }
  std::string Picture() {
    box_.RefreshTree();
    return PictureText(box_.TreePicture());
  }
  int Index(const std::string& names) const { return box_[names]->index; }
  TestBox box_;
};

TEST_F(TreeBoxPictureTest, ASubtreeAttributeDrawsItsCaptionBracketImageAndPen) {
  const std::string plain = Picture();
  EXPECT_THAT(plain, Not(HasSubstr("\"Apes\"")));
  TNodeAttrib a;
  a.Caption = "Apes";
  a.CaptionFont.Color = 0x00FF00;
  a.BranchPen = {0x0000FF, 2, TPenStyle::psDash};
  SetAttribImage(a, Png(6, 4), 0);
  box_.SetSubtreeAttrib(a, Index("A,B"));
  const std::string decorated = Picture();
  EXPECT_THAT(decorated, HasSubstr("\"Apes\")"));
  EXPECT_THAT(decorated, HasSubstr("SetTextColor($00FF00)"));
  EXPECT_THAT(decorated, HasSubstr(",6x4)"));                       // the picture, 4 units a pixel
  EXPECT_THAT(decorated, HasSubstr("PS_GEOMETRIC|PS_DASH"));       // the subtree's branches
  box_.ClearSubtreeAttrib(Index("A,B"), false);
  EXPECT_EQ(Picture(), plain);
}

TEST_F(TreeBoxPictureTest, ACompressedSubtreeIsDrawnAsOneCaptionedGroup) {
  TNodeAttrib a;
  a.Caption = "Group CD";
  a.Compressed = true;
  box_.SetSubtreeAttrib(a, Index("C,D"));
  const std::string picture = Picture();
  EXPECT_THAT(picture, HasSubstr("\" Group CD\")"));
  EXPECT_THAT(picture, Not(HasSubstr("\" C\")")));
  EXPECT_THAT(picture, HasSubstr("\" A\")"));
}

TEST_F(TreeBoxPictureTest, GroupsDrawTheirTaxaInTheirOwnFont) {
  TStringList lines{"E=Birds", "F=Birds"};
  box_.SetGroupInfo(&lines);
  TNodeAttrib birds;
  box_.GetGroupAttrib(birds, "Birds");
  birds.NameFont.Color = 0xFF0000;
  birds.NameFont.Style = {TFontStyle::fsItalic};
  box_.SetGroupAttrib(birds, "Birds");
  const std::string picture = Picture();
  EXPECT_THAT(picture, HasSubstr("SetTextColor($FF0000)"));
  EXPECT_THAT(picture, HasSubstr(",italic,"));
  box_.SetUseGroupAttrib(false);
  box_.SetGroupAttrib(birds, "Birds");  // spreads the attributes again
  EXPECT_THAT(Picture(), Not(HasSubstr("SetTextColor($FF0000)")));
}

TEST_F(TreeBoxPictureTest, MarkersOfASubtreeAreDrawn) {
  const std::string plain = Picture();
  box_.SetTaxonMarkerOfSubtree(Index("E,F"), {1, 0x00FFFF});
  EXPECT_NE(Picture(), plain);
}

TEST_F(TreeBoxPictureTest, AStoredViewRecordsTheSamePicture) {
  TNodeAttrib a;
  a.Caption = "Apes";
  a.ShowBracket = true;
  SetAttribImage(a, Png(5, 3), 0);
  box_.SetSubtreeAttrib(a, Index("A,B"));
  TStringList lines{"E=Birds", "F=Birds"};
  box_.SetGroupInfo(&lines);
  TNodeAttrib birds;
  box_.GetGroupAttrib(birds, "Birds");
  birds.MarkerShape = 2;  // taxon markers are kept through their group
  birds.MarkerColor = 0x0000FF;
  box_.SetGroupAttrib(birds, "Birds");
  box_.SetShowBLen(true);
  box_.SetPixelsPerOTU(30);
  TFontData stats = box_.StatsFont();
  stats.Style = {TFontStyle::fsBold};
  box_.SetStatsFont(stats);
  const std::string written = Picture();
  for (const char* drawn : {"\"Apes\")", "StretchDIBits(", "Ellipse(", "\"Birds\")"}) {
    EXPECT_THAT(written, HasSubstr(drawn));
  }

  TMemoryStream record;
  box_.WriteToFile(record);
  record.SetPosition(0);
  TestBox read;
  ASSERT_TRUE(read.ReadFromFile(record, 2));
  read.RefreshTree();
  EXPECT_EQ(PictureText(read.TreePicture()), written);
}

TEST(TreeBoxPicture, AStoredConsensusViewRecordsTheSamePicture) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(
      ListFromNewick("((A:1,B:2):1,(C:3,D:4):1,E:5);((A:1,B:2):1,(C:3,E:5):1,D:4);((A:1,C:3):1,(B:2,D:4):1,E:5);"),
      true));
  box.SetTreeIndex(0);
  box.SetConsensusValue(30);
  box.RefreshTree();
  const std::string written = PictureText(box.TreePicture());
  TMemoryStream record;
  box.WriteToFile(record);
  record.SetPosition(0);
  TestBox read;
  ASSERT_TRUE(read.ReadFromFile(record, 2));
  read.RefreshTree();
  EXPECT_EQ(PictureText(read.TreePicture()), written);
}

TEST(TreeBoxPicture, EachTreeAndTheConsensusHaveTheirOwnPicture) {
  TestBox box;
  ASSERT_TRUE(box.SetTreeList(ListFromNewick("((A:1,B:2):1,(C:3,D:4):1,E:5);((A:1,C:3):1,(B:2,E:5):1,D:4);"), true));
  box.RefreshTree();
  const std::string first = PictureText(box.TreePicture());
  box.SetTreeIndex(2);
  box.RefreshTree();
  const std::string second = PictureText(box.TreePicture());
  box.SetTreeIndex(0);
  box.RefreshTree();
  const std::string consensus = PictureText(box.TreePicture());
  EXPECT_NE(first, second);
  EXPECT_NE(consensus, first);
  box.SetTreeIndex(1);
  box.RefreshTree();
  EXPECT_EQ(PictureText(box.TreePicture()), first);
}

}  // namespace
