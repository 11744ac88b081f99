#include "tree/model/NTreeData.h"

#include <bit>
#include <new>
#include <numeric>

#include "platform/core/Streams.h"
#include "platform/core/StrUtils.h"

namespace {

int CheckedNoOfOTUs(int n) {
  if (n > kMaxNoOfOTUs) throw ERangeError();
  return n < 2 ? 2 : n;
}

// Arrays of doubles go out as one block: on a little-endian host the bytes of
// the block are the little-endian fields one after the other.
static_assert(std::endian::native == std::endian::little, "big-endian hosts need byte swapping here");

void WriteDoubles(TStream& F, const std::vector<double>& values) {
  F.WriteBuffer(values.data(), static_cast<int64_t>(values.size() * sizeof(double)));
}

void ReadDoubles(TStream& F, std::vector<double>& values) {
  F.ReadBuffer(values.data(), static_cast<int64_t>(values.size() * sizeof(double)));
}

}  // namespace

TTreeData::TTreeData(int NoOfOTUs, bool isBLen, bool isSE, bool isStats)
    : noOfOTUs_(CheckedNoOfOTUs(NoOfOTUs)),
      nodes_(noOfOTUs_ - 1),
      blen_(isBLen ? 2 * noOfOTUs_ - 2 : 0),
      se_(isSE ? 2 * noOfOTUs_ - 2 : 0),
      stats_(2 * noOfOTUs_ - 2),
      isStats_(isStats) {}

void TTreeData::SetNoOfOTUs(int n) {
  if (n < 2 || n == noOfOTUs_) return;
  CheckedNoOfOTUs(n);
  noOfOTUs_ = n;
  const size_t branches = 2 * static_cast<size_t>(n) - 2;
  nodes_.resize(n - 1);
  if (!blen_.empty()) blen_.resize(branches);
  if (!se_.empty()) se_.resize(branches);
  stats_.resize(branches);
}

TNodeRecord TTreeData::GetNode(int i) const {
  if (i < 0 || i >= static_cast<int>(nodes_.size())) return {};
  return nodes_[i];
}

namespace {
double Entry(const std::vector<double>& values, int i) {
  return i >= 0 && i < static_cast<int>(values.size()) ? values[i] : 0.0;
}
bool InBranchRange(int i, int n) { return i >= 0 && i <= 2 * n - 3; }
}  // namespace

double TTreeData::GetBLen(int i) const { return Entry(blen_, i); }
double TTreeData::GetSE(int i) const { return Entry(se_, i); }
double TTreeData::GetStats(int i) const { return Entry(stats_, i); }

void TTreeData::SetBLen(int i, double value) {
  if (!InBranchRange(i, noOfOTUs_)) return;
  if (blen_.empty()) throw Exception(kSetBLenWithoutBLenText);
  blen_[i] = value;
}

void TTreeData::SetSE(int i, double value) {
  if (InBranchRange(i, noOfOTUs_) && !se_.empty()) se_[i] = value;
}

void TTreeData::SetStats(int i, double value) {
  if (InBranchRange(i, noOfOTUs_)) stats_[i] = value;
}

void TTreeData::SetIsBLen(bool value) {
  if (value == isBLen()) return;
  if (value)
    blen_.assign(2 * noOfOTUs_ - 2, 0.0);
  else
    FreeMemAndNil(blen_);
}

void TTreeData::SetIsSE(bool value) {
  if (value == isSE()) return;
  if (value)
    se_.assign(2 * noOfOTUs_ - 2, 0.0);
  else
    FreeMemAndNil(se_);
}

void TTreeData::SetIsStats(bool value) {
  if (value == isStats_) return;
  std::fill(stats_.begin(), stats_.end(), 0.0);
  isStats_ = value;
}

double TTreeData::SBL() const { return std::accumulate(blen_.begin(), blen_.end(), 0.0); }

bool TTreeData::Assign(const TTreeData& other) {
  if (other.noOfOTUs_ != noOfOTUs_) return false;
  if (&other != this) *this = other;
  return true;
}

bool TTreeData::IsValidTopology() const {
  const int n = noOfOTUs_;
  const int nodeCount = 2 * n - 1;
  std::vector<int> parent(nodeCount, -1);
  for (int i = 0; i < n - 1; ++i) {
    for (int child : {nodes_[i].des1, nodes_[i].des2}) {
      if (child < 0 || child >= nodeCount || parent[child] >= 0) return false;
      parent[child] = n + i;
    }
  }
  // 2N-2 child slots over 2N-1 distinct nodes leave exactly one node free.
  int root = -1;
  for (int v = 0; v < nodeCount; ++v)
    if (parent[v] < 0) root = v;
  if (root < n) return false;
  // Every node must lead up to the root; a cycle never reaches it. Walk each
  // node upwards, marking nodes known to reach the root, so the walk is linear.
  std::vector<char> reaches(nodeCount, 0);
  reaches[root] = 1;
  std::vector<int> path;
  for (int v = 0; v < nodeCount; ++v) {
    path.clear();
    int u = v;
    while (reaches[u] != 1) {
      if (reaches[u] == 2) return false;  // met again on this walk: a cycle
      reaches[u] = 2;
      path.push_back(u);
      u = parent[u];
      if (u < 0) return false;
    }
    for (int w : path) reaches[w] = 1;
  }
  return true;
}

void TTreeData::WriteToFile(TStream& F) const {
  WriteLE<double>(F, Freq);
  WriteLE<double>(F, Value);
  WriteLE<double>(F, Value2);
  for (const TNodeRecord& node : nodes_) {
    WriteLE<int16_t>(F, node.des1);
    WriteLE<int16_t>(F, node.des2);
  }
  WriteDoubles(F, blen_);
  WriteDoubles(F, se_);
  WriteDoubles(F, stats_);
}

void TTreeData::ReadFromFile(TStream& F, int version) {
  Freq = ReadLE<double>(F);
  Value = ReadLE<double>(F);
  Value2 = ReadLE<double>(F);
  std::vector<int16_t> raw(2 * nodes_.size());
  F.ReadBuffer(raw.data(), static_cast<int64_t>(raw.size() * sizeof(int16_t)));
  for (size_t i = 0; i < nodes_.size(); ++i) nodes_[i] = {raw[2 * i], raw[2 * i + 1]};
  ReadDoubles(F, blen_);
  ReadDoubles(F, se_);
  // Records older than version 2 carried support values only for trees that
  // had them.
  if (version >= 2 || isStats_) ReadDoubles(F, stats_);
  if (!IsValidTopology()) throw ERangeError();
}

std::unique_ptr<TDistanceMatrix> CreateDistanceMatrix(int n, bool square) {
  try {
    auto matrix = std::make_unique<TDistanceMatrix>();
    if (n <= 0) return matrix;
    matrix->reserve(n);
    for (int j = 0; j < n; ++j) matrix->emplace_back(square ? n : j + 1, 0.0);
    return matrix;
  } catch (const std::bad_alloc&) {
    // The rows built so far are released as the partly built matrix unwinds.
    RaiseWithHelpContext(kUnexpectedErrorHelpContext, kOutOfMemoryText);
  }
}

void FreeDistanceMatrix(std::unique_ptr<TDistanceMatrix>& matrix) { FreeMemAndNil(matrix); }

std::string BlanksToUnderscores(const std::string& name) { return StringReplace(Trim(name), " ", "_"); }

void RaiseWithHelpContext(int context, const std::string& message) {
  if (context < 0) throw Exception(kUnexpectedErrorText, kUnexpectedErrorHelpContext);
  throw Exception(message, context);
}
