#include "tree/model/NTreeList.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"
#include "platform/core/StrUtils.h"

namespace {

enum TTreeListFlags : int32_t { kFlagBLen = 1, kFlagSE = 2, kFlagStats = 4, kFlagRooted = 8 };

void WriteString(TStream& F, const std::string& s) {
  WriteLE<int32_t>(F, static_cast<int32_t>(s.size()));
  F.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}

std::string ReadString(TStream& F) {
  const int32_t length = ReadLE<int32_t>(F);
  if (length <= 0) return {};
  if (length > kMaxRecordStringLength) throw ERangeError();
  std::string s(length, '\0');
  F.ReadBuffer(s.data(), length);
  return s;
}

// A count read from the stream that asks for more bytes than are left cannot
// be right: refuse it before anything is allocated for it.
void CheckFits(TStream& F, int64_t count, int64_t bytesEach) {
  if (count < 0 || count * bytesEach > F.Remaining()) throw EInOutError(kReadErrorText);
}

}  // namespace

TTreeData& TTreeList::Items(int i) {
  if (i < 0 || i >= NoOfTrees()) throw EListError(Format(kListIndexErrorText, {i}));
  return *trees_[i];
}

const TTreeData& TTreeList::Items(int i) const { return const_cast<TTreeList*>(this)->Items(i); }

int TTreeList::NoOfOTUs() const { return trees_.empty() ? 0 : trees_[0]->NoOfOTUs(); }

std::string TTreeList::OTUName(int i) const {
  return i >= 0 && i < OTUNames.Count() ? OTUNames[i] : std::string();
}

void TTreeList::SetOTUName(int i, std::string name) {
  if (i < 0) return;
  while (OTUNames.Count() <= i) OTUNames.Add(std::string());
  OTUNames.Put(i, std::move(name));
}

bool TTreeList::isBLen() const { return !trees_.empty() && trees_[0]->isBLen(); }

void TTreeList::SetIsBLen(bool value) {
  if (value == isBLen()) return;
  for (auto& tree : trees_) tree->SetIsBLen(value);
}

bool TTreeList::isSE() const { return !trees_.empty() && trees_[0]->isSE(); }

void TTreeList::SetIsSE(bool value) {
  if (value == isSE()) return;
  for (auto& tree : trees_) tree->SetIsSE(value);
}

bool TTreeList::isStats() const { return !trees_.empty() && MaxStats > -1e-9; }

void TTreeList::SetIsStats(bool value) {
  if (value == isStats()) return;
  MaxStats = value ? 0 : -1;
}

TTreeData* TTreeList::Add(std::unique_ptr<TTreeData>&& tree) {
  if (!tree) return nullptr;
  const bool fits = trees_.empty() ? tree->NoOfOTUs() != 0
                                   : tree->NoOfOTUs() == NoOfOTUs() && tree->isBLen() == isBLen() &&
                                         tree->isSE() == isSE();
  if (!fits) return nullptr;
  trees_.push_back(std::move(tree));
  return trees_.back().get();
}

void TTreeList::Delete(int i) {
  if (i < 0 || i >= NoOfTrees()) return;
  trees_.erase(trees_.begin() + i);
}

void TTreeList::DeleteAll() {
  while (!trees_.empty()) trees_.pop_back();
}

void TTreeList::Clear() {
  DeleteAll();
  Information.Clear();
  OTUNames.Clear();
  FreqName.clear();
  ValueName.clear();
  Value2Name.clear();
  StatsName.clear();
  MaxStats = -1;
  DistanceMatrix = nullptr;
  isRooted = false;
}

double TTreeList::TotalFrequency() const {
  double total = 0;
  for (const auto& tree : trees_) total += tree->Freq;
  return total;
}

namespace {

// The comma text of the longest run of leading lines that the record can
// hold. Information is free text about the trees: a record that keeps what
// fits, and reads back, serves better than none.
std::string InformationText(const TStringList& lines) {
  const std::string whole = lines.CommaText();
  if (whole.size() <= static_cast<size_t>(kMaxRecordStringLength)) return whole;
  TStringList kept;
  size_t size = 0;
  for (int i = 0; i < lines.Count(); ++i) {
    const TStringList one = {lines[i]};
    size += (i > 0 ? 1 : 0) + one.CommaText().size();
    if (size > static_cast<size_t>(kMaxRecordStringLength)) break;
    kept.Add(lines[i]);
  }
  return kept.CommaText();
}

}  // namespace

void TTreeList::WriteToFile(TStream& F) const {
  const int32_t treeCount = NoOfTrees();
  const int32_t nameCount = treeCount > 0 ? NoOfOTUs() : OTUNames.Count();
  std::vector<std::string> names;
  names.reserve(nameCount);
  for (int i = 0; i < nameCount; ++i) names.push_back(OTUName(i));
  const std::string information = InformationText(Information);

  // Refuse the record before writing any of it: a reader could not take it.
  auto tooLong = [](const std::string& s) { return s.size() > static_cast<size_t>(kMaxRecordStringLength); };
  bool refused = tooLong(FreqName) || tooLong(ValueName) || tooLong(Value2Name) ||
                 tooLong(StatsName);
  for (const auto& name : names) refused = refused || tooLong(name);
  if (refused) throw ERangeError();

  WriteLE<int32_t>(F, 0);
  WriteLE<int32_t>(F, 0);
  WriteString(F, information);
  for (int i = 0; i < 4; ++i) WriteLE<int32_t>(F, 0);
  WriteString(F, FreqName);
  WriteString(F, ValueName);
  WriteString(F, Value2Name);
  WriteString(F, StatsName);
  int32_t flags = 0;
  if (isBLen()) flags |= kFlagBLen;
  if (isSE()) flags |= kFlagSE;
  if (isStats()) flags |= kFlagStats;
  if (isRooted) flags |= kFlagRooted;
  WriteLE<int32_t>(F, flags);
  WriteLE<double>(F, MaxStats);
  WriteLE<int32_t>(F, treeCount);
  WriteLE<int32_t>(F, nameCount);
  for (const auto& name : names) WriteString(F, name);
  for (const auto& tree : trees_) tree->WriteToFile(F);
}

void TTreeList::ReadFromFile(TStream& F, int version) {
  Clear();
  ReadLE<int32_t>(F);
  ReadLE<int32_t>(F);
  const std::string information = ReadString(F);
  if (!information.empty()) Information.SetCommaText(information);
  for (int i = 0; i < 4; ++i) ReadLE<int32_t>(F);
  FreqName = ReadString(F);
  ValueName = ReadString(F);
  Value2Name = ReadString(F);
  StatsName = ReadString(F);
  const int32_t flags = ReadLE<int32_t>(F);
  isRooted = (flags & kFlagRooted) != 0;
  MaxStats = ReadLE<double>(F);
  const int32_t treeCount = ReadLE<int32_t>(F);
  const int32_t nameCount = ReadLE<int32_t>(F);

  if (treeCount < 0) throw EInOutError(kReadErrorText);
  if (treeCount > 0 && (nameCount < 2 || nameCount > kMaxNoOfOTUs)) throw ERangeError();
  CheckFits(F, nameCount, sizeof(int32_t));  // every name has at least its length
  for (int i = 0; i < nameCount; ++i) SetOTUName(i, ReadString(F));
  if (treeCount == 0) return;

  const bool withBLen = (flags & kFlagBLen) != 0;
  const bool withSE = (flags & kFlagSE) != 0;
  const bool withStats = (flags & kFlagStats) != 0;
  const int64_t branches = 2 * static_cast<int64_t>(nameCount) - 2;
  const int arrays = (withBLen ? 1 : 0) + (withSE ? 1 : 0) + (version >= 2 || withStats ? 1 : 0);
  const int64_t recordSize = 3 * sizeof(double) + 4 * (nameCount - 1) + arrays * branches * sizeof(double);
  CheckFits(F, treeCount, recordSize);
  trees_.reserve(treeCount);
  for (int t = 0; t < treeCount; ++t) {
    auto tree = std::make_unique<TTreeData>(nameCount, withBLen, withSE, withStats);
    tree->ReadFromFile(F, version);
    Add(std::move(tree));
  }
}
