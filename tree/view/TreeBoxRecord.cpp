// TTreeBox::WriteToFile and ReadFromFile: the binary record of a whole view.
// Field order (numbers as in the record's description): 1 NoOfTrees,
// 2 NoOfOTUs, 3 tree list, 4-6 consensus tree, 7-9 tree index and per-tree
// flags, 10-24 numbers and texts of the display, 25-29 styles and switches,
// 30-35 attribute count and version, 36-39 whole-tree pen, font and brush,
// 40 subtree attributes, 41-43 groups (version 6), 44 attribute switches
// (version 8), 45-46 scale pen and fonts, 47 ForceLinearized (version 2).

#include <algorithm>
#include <cmath>
#include <limits>

#include "tree/view/NTreeBox.h"
#include "tree/view/TreeAttributes.h"
#include "tree/view/TreeLayout.h"
#include "tree/view/TreeSetup.h"
#include "tree/view/TreeViewRecord.h"

namespace {

void WriteInt(TStream& s, int32_t v) { WriteLE<int32_t>(s, v); }
void WriteDouble(TStream& s, double v) { WriteLE<double>(s, v); }
void WriteByte(TStream& s, uint8_t v) { WriteLE<uint8_t>(s, v); }
int32_t ReadInt(TStream& s) { return ReadLE<int32_t>(s); }
uint8_t ReadByte(TStream& s) { return ReadLE<uint8_t>(s); }

// A bad count, index or value in a record.
[[noreturn]] void Bad() { throw ERangeError(); }

double ReadFinite(TStream& s) {
  const double v = ReadLE<double>(s);
  if (!std::isfinite(v)) Bad();
  return v;
}

int32_t ReadIntIn(TStream& s, int32_t low, int32_t high) {
  const int32_t v = ReadInt(s);
  if (v < low || v > high) Bad();
  return v;
}

constexpr int32_t kMaxWidth = 32767;     // pixels
constexpr int32_t kMaxOffset = 1 << 20;  // quarter pixels, for margins

// Frequencies are shown, summed and written back: each of them and their sum
// must be numbers.
void CheckFrequencies(const TTreeList& list, const TTreeData* consensus) {
  double sum = 0;
  for (int i = 0; i < list.NoOfTrees(); ++i) {
    const double freq = list.Items(i).Freq;
    if (!std::isfinite(freq)) Bad();
    sum += freq;
  }
  if (!std::isfinite(sum) || (consensus && !std::isfinite(consensus->Freq))) Bad();
}

}  // namespace

void TTreeBox::WriteToFile(TStream& F) {
  if (!treeList_) return;
  TTreeDisplay& d = Display();
  const int version = std::clamp(WriteVersion, 0, kTreeViewRecordVersion);
  StoreTree(treeIndex_);
  if (partitionList_) {
    for (int i = 1; i <= noOfTrees_; ++i) {
      if (treePrepared_[i]) continue;
      CopyTopologyTree(i);
      treePrepared_[i] = true;
    }
  }
  if (consensusTree_ && !treePrepared_[0]) {
    BuildConsensus();
    treePrepared_[0] = true;
  }

  WriteInt(F, noOfTrees_);
  WriteInt(F, NoOfOTUs());
  treeList_->WriteToFile(F);
  if (consensusTree_) {
    WriteInt(F, 1 + (consensusTree_->isBLen() ? 2 : 0) + (consensusTree_->isSE() ? 4 : 0));
    consensusTree_->WriteToFile(F);
    WriteRecordBool(F, consensusHasValue_);
    WriteRecordBool(F, consensusHasValue2_);
  } else {
    WriteInt(F, 0);
  }
  WriteInt(F, treeIndex_);
  for (int i = 0; i <= noOfTrees_; ++i) WriteRecordBool(F, treeInitialised_[i]);
  for (int i = 0; i <= noOfTrees_; ++i) WriteRecordBool(F, treePrepared_[i]);
  for (int v : {freqDecimals_, ValueDecimals, Value2Decimals, d.BLenDecimals}) WriteInt(F, v);
  WriteInt(F, d.CondenseValue);
  WriteInt(F, consensusValue_);
  WriteDouble(F, d.ScaleRatio);
  for (int v : {d.TreeWidthPx, d.CladogramWidth, d.PixelsPerOTU4, d.PixelsPerGroupMember4, d.Radius, d.StartAngle,
                d.CenterMargin, StatsCutoff()})
    WriteInt(F, v);
  WriteByte(F, static_cast<uint8_t>(StatsPosition()));
  WriteInt(F, d.StatsMarginX);
  WriteInt(F, d.StatsMarginY);
  for (int i = 0; i < 3; ++i) WriteDouble(F, 0);
  WriteDouble(F, BLenCutoff());
  WriteByte(F, static_cast<uint8_t>(BLenPosition()));
  for (double v : {d.ScaleLength, d.ScaleMinorInterval, d.TimeInterval, d.TimeMinorInterval, d.TimeFactor})
    WriteDouble(F, v);
  for (const std::string* text : {&d.ScaleText, &d.ScaleUnit, &d.TimeText, &d.TimeUnit}) WriteRecordText(F, *text);
  WriteByte(F, static_cast<uint8_t>(d.TreeStyle));
  WriteByte(F, static_cast<uint8_t>(d.BranchStyle));
  for (bool b : {d.Condensed, d.isLinearized, d.ShowTopologyOnly, d.HorzTaxonName, d.AlignCaption,
                 d.WholeTree().ShowTaxonName, d.WholeTree().ShowTaxonMarker, d.ShowBLen, d.ShowStats, d.ShowScale,
                 d.ShowTimeScale})
    WriteRecordBool(F, b);
  WriteInt(F, savedCondenseValue_);
  int attributes = 1;
  for (const auto& own : treeAttribLists_) attributes += own ? static_cast<int>(own->size()) : 0;
  WriteInt(F, attributes);
  for (int i = 0; i < 5; ++i) WriteInt(F, 0);
  WriteInt(F, version);
  WriteInt(F, attributes);
  WriteRecordBool(F, d.ShowRoot);
  WriteByte(F, 0);
  WritePenRecord(F, d.WholeTree().BranchPen);
  WritePenRecord(F, d.WholeTree().BranchPen);
  WriteFontRecord(F, d.WholeTree().NameFont);
  WriteBrushRecord(F, d.WholeTree().Brush);
  const int attribVersion = std::min(version, kNodeAttribRecordVersion);
  for (int t = 0; t < static_cast<int>(treeAttribLists_.size()); ++t) {
    if (!treeAttribLists_[t]) continue;
    for (const auto& attrib : *treeAttribLists_[t]) {
      WriteInt(F, t);
      WriteNodeAttribRecord(F, *attrib, attribVersion);
    }
  }
  if (version > 5) {
    for (int i = 1; i <= NoOfOTUs(); ++i) WriteInt(F, d.Node(i)->groupIndex);
    WriteInt(F, static_cast<int32_t>(d.GroupAttrib.size()));
    for (const auto& attrib : d.GroupAttrib) WriteNodeAttribRecord(F, *attrib, attribVersion);
  }
  if (version > 7) {
    WriteRecordBool(F, d.UseSubtreeAttrib);
    WriteRecordBool(F, d.UseGroupAttrib);
  }
  WritePenRecord(F, d.ScalePen);
  for (const TFontData* font : {&d.StatsFont, &d.ScaleFont, &d.CharStateFont}) WriteFontRecord(F, *font);
  if (version > 1) WriteRecordBool(F, d.ForceLinearized);
}

bool TTreeBox::ReadFromFile(TStream& F, int version) {
  if (Bound()) FreeNodes();
  TTreeDisplay& d = Display();
  try {
    const int32_t trees = ReadIntIn(F, 0, std::numeric_limits<int32_t>::max() - 1);
    const int32_t n = ReadIntIn(F, 2, kMaxNoOfOTUs);
    auto list = std::make_unique<TTreeList>();
    list->ReadFromFile(F, version);
    if (list->NoOfTrees() != trees || (trees > 0 && list->NoOfOTUs() != n)) Bad();
    SourceTag = kViewRecordSource;
    d.isSE = list->isSE();
    d.isStats = list->isStats();
    d.isRooted = list->isRooted;
    d.NoAutoRoot = false;
    StatsNameField = list->StatsName;
    d.MaxStats = list->MaxStats;
    freqName_ = list->FreqName;
    isValue = !list->ValueName.empty();
    if (isValue) ValueName = list->ValueName;
    isValue2 = !list->Value2Name.empty();
    if (isValue2) Value2Name = list->Value2Name;
    noOfTrees_ = trees;
    treeList_ = std::move(list);
    for (int i = 0; i < trees; ++i) CheckTreeData(treeList_->Items(i), n);

    BuildNodes(n);
    for (int i = 0; i < n; ++i) {
      TNode* node = d.Node(i + 1);
      node->name = node->savedName = treeList_->OTUName(i);
      node->nameTag.clear();
    }
    const int32_t consensusFlags = ReadIntIn(F, 0, 7);
    if (consensusFlags != 0) {
      if ((consensusFlags & 1) == 0) Bad();
      consensusTree_ = std::make_unique<TTreeData>(n, (consensusFlags & 2) != 0, (consensusFlags & 4) != 0, true);
      consensusTree_->ReadFromFile(F, version);
      CheckTreeData(*consensusTree_, n);
      consensusHasValue_ = ReadRecordBool(F);
      consensusHasValue2_ = ReadRecordBool(F);
      if (trees == 0) {
        d.isSE = consensusTree_->isSE();
        d.isStats = consensusTree_->isStats();
      }
    }

    CheckFrequencies(*treeList_, consensusTree_.get());

    const int32_t index = ReadIntIn(F, consensusTree_ ? 0 : 1, trees);
    for (int i = 0; i <= trees; ++i) treeInitialised_[i] = ReadRecordBool(F);
    for (int i = 0; i <= trees; ++i) treePrepared_[i] = ReadRecordBool(F);
    freqDecimals_ = ReadIntIn(F, 0, 18);
    ValueDecimals = ReadIntIn(F, 0, 18);
    Value2Decimals = ReadIntIn(F, 0, 18);
    d.BLenDecimals = ReadIntIn(F, 0, 18);
    d.CondenseValue = ReadIntIn(F, 0, 100);
    consensusValue_ = ReadIntIn(F, 0, 100);
    d.ScaleRatio = ReadFinite(F);
    if (d.ScaleRatio < 0) Bad();
    d.TreeWidthPx = ReadIntIn(F, 0, kMaxWidth);
    d.CladogramWidth = ReadIntIn(F, 0, kMaxWidth);
    d.PixelsPerOTU4 = ReadIntIn(F, 0, 4 * 2047);
    d.PixelsPerGroupMember4 = ReadIntIn(F, 0, 4 * 8191);
    d.Radius = ReadIntIn(F, 0, kMaxOffset);
    // In steps of 30 degrees; many turns are still drawn, angles that
    // overflow the text escapement are not.
    d.StartAngle = ReadIntIn(F, -kMaxOffset, kMaxOffset);
    d.CenterMargin = ReadIntIn(F, 20, 80);
    SetStatsCutoff(ReadInt(F));
    SetStatsPosition(static_cast<TBranchInfoPosition>(ReadRecordOrdinal(F, 2)));
    d.StatsMarginX = ReadIntIn(F, -kMaxOffset, kMaxOffset);
    d.StatsMarginY = ReadIntIn(F, -kMaxOffset, kMaxOffset);
    for (int i = 0; i < 3; ++i) ReadLE<double>(F);
    SetBLenCutoff(ReadFinite(F));
    SetBLenPosition(static_cast<TBranchInfoPosition>(ReadRecordOrdinal(F, 2)));
    d.ScaleLength = ReadFinite(F);
    d.ScaleMinorInterval = ReadFinite(F);
    d.TimeInterval = ReadFinite(F);
    d.TimeMinorInterval = ReadFinite(F);
    d.TimeFactor = ReadFinite(F);
    d.ScaleText = ReadRecordText(F);
    d.ScaleUnit = ReadRecordText(F);
    d.TimeText = ReadRecordText(F);
    d.TimeUnit = ReadRecordText(F);
    treeIndex_ = index;
    if (index == 0) {
      savedCondensed_ = ShowCondensed();
      savedTopologyOnly_ = ShowTopologyOnly();
      savedRooted_ = d.isRooted;
      d.CondenseValue = consensusValue_;
    }

    d.TreeStyle = static_cast<TTreeStyle>(ReadRecordOrdinal(F, 2));
    d.BranchStyle = static_cast<TBranchStyle>(ReadRecordOrdinal(F, 2));
    d.Condensed = ReadRecordBool(F);
    d.isLinearized = ReadRecordBool(F);
    d.ShowTopologyOnly = ReadRecordBool(F);
    d.HorzTaxonName = ReadRecordBool(F);
    d.AlignCaption = ReadRecordBool(F);
    d.WholeTree().ShowTaxonName = ReadRecordBool(F);
    d.WholeTree().ShowTaxonMarker = ReadRecordBool(F);
    d.ShowBLen = ReadRecordBool(F);
    d.ShowStats = ReadRecordBool(F);
    d.ShowScale = ReadRecordBool(F);
    d.ShowTimeScale = ReadRecordBool(F);
    savedCondenseValue_ = ReadIntIn(F, 0, 100);
    int32_t attributes = ReadInt(F);
    for (int i = 0; i < 5; ++i) ReadInt(F);
    ReadVersion = ReadInt(F);
    const int32_t again = ReadInt(F);
    if (ReadVersion >= 1) attributes = again;
    const bool showRoot = ReadRecordBool(F);
    if (ReadVersion >= 3) d.ShowRoot = showRoot;
    ReadByte(F);
    // Every attribute record takes more than a byte: a count beyond the rest
    // of the stream cannot be right.
    if (attributes < 1 || attributes - 1 > F.Remaining()) Bad();

    // The pictures of all attributes together stay within one budget.
    TImageBudget pictures;
    ReadPenRecord(F, d.WholeTree().BranchPen);
    ReadPenRecord(F, d.WholeTree().BranchPen);
    ReadFontRecord(F, d.WholeTree().NameFont);
    ReadBrushRecord(F, d.WholeTree().Brush);
    for (int32_t k = 1; k < attributes; ++k) {
      const int32_t t = ReadIntIn(F, 0, trees);
      auto attrib = std::make_unique<TNodeAttrib>();
      ReadNodeAttribRecord(F, *attrib, ReadVersion, &pictures);
      if (attrib->NodeIndex < 1 || attrib->NodeIndex > d.Nodes.NoOfNodes()) Bad();
      TreeAttribList(t).push_back(std::move(attrib));
    }
    if (ReadVersion > 5) {
      std::vector<int32_t> groups(static_cast<size_t>(n));
      for (int32_t& g : groups) g = ReadInt(F);
      const int32_t count = ReadInt(F);
      if (count < 0 || count > F.Remaining()) Bad();
      for (int i = 0; i < n; ++i) {
        if (groups[i] < -1 || groups[i] >= count) Bad();
        d.Node(i + 1)->groupIndex = groups[i];
      }
      d.GroupAttrib.clear();
      for (int32_t g = 0; g < count; ++g) {
        auto attrib = std::make_unique<TNodeAttrib>();
        ReadNodeAttribRecord(F, *attrib, ReadVersion, &pictures);
        d.GroupAttrib.push_back(std::move(attrib));
      }
    }
    if (ReadVersion > 7) {
      d.UseSubtreeAttrib = ReadRecordBool(F);
      d.UseGroupAttrib = ReadRecordBool(F);
    }
    ReadPenRecord(F, d.ScalePen);
    ReadFontRecord(F, d.StatsFont);
    ReadFontRecord(F, d.ScaleFont);
    ReadFontRecord(F, d.CharStateFont);
    if (ReadVersion > 1) d.ForceLinearized = ReadRecordBool(F);

    LoadTree(treeIndex_);
    if (!d.Root) Bad();
    SetStatsValues();
    const bool lengths = GetisBranchLength();
    if (lengths) {
      SetLongestPaths(d.Root);
      d.SBL = SumBranchLengths(d);
    }
    ResetClusters();
    SetNodeHeights(d, GetisSE());
    LoadTreeAttributes();
    AssignAttributes(d, Measurer());
    if (lengths) {
      d.MaxLength = d.Linearized() ? d.Root->height : std::max(d.Root->des1->pathDown, d.Root->des2->pathDown);
      // Records of older versions that kept the widths in quarter pixels
      // show a tree far wider than its scale; only a tree with lengths has a
      // scale to tell by, and the scale governs the width with lengths (the
      // cladogram's width may be anything). Records of the version written
      // here are in pixels and come back as they were.
      if (ReadVersion < kTreeViewRecordVersion && d.ScaleRatio > 0 &&
          std::ceil(d.ScaleRatio * d.MaxLength * 2) < d.TreeWidthPx) {
        d.TreeWidthPx = static_cast<int>(std::ceil(d.TreeWidthPx / 4.0));
        d.CladogramWidth = static_cast<int>(std::ceil(d.CladogramWidth / 4.0));
      }
      // The kept ratio sets the width of the tree with lengths, linearized
      // or not: a ratio that makes it wider than a picture may be cannot be
      // drawn.
      const double longest = std::max({d.Root->height, d.Root->des1->pathDown, d.Root->des2->pathDown});
      if (!std::isfinite(longest) || (d.ScaleRatio > 0 && !(d.ScaleRatio * longest <= kMaxWidth))) Bad();
      // The scale bar is drawn at the kept ratio, at the tree's width or at
      // the circle's radius: at each of them it must fit a picture too.
      if (longest > 0 && d.ScaleLength != 0) {
        const double widest = std::max(d.ScaleRatio, std::max<double>(d.TreeWidthPx, d.Radius) / longest);
        if (!(std::abs(d.ScaleLength) * widest <= kMaxWidth)) Bad();
      }
    }
    return true;
  } catch (const std::exception&) {
    FreeNodes();
    return false;
  }
}
