// Deflate: greedy matching over hash chains and the block coder.
//
// Matching, block ends and tree construction follow the classic zlib design
// step for step (same hash, same chain limits, same heap tie-breaks, same
// block-type choice), because the reporter's output is checked byte for byte
// against that implementation at the same parameters.
#include <algorithm>
#include <cstring>
#include <memory>

#include "crashreport/zorZip.h"
#include "crashreport/zorZip_p.h"

namespace {

using namespace zorzip;

constexpr unsigned kWSize = 32768;
constexpr unsigned kWMask = kWSize - 1;
constexpr unsigned kWindowSize = 2 * kWSize;
constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 258;
constexpr unsigned kMinLookahead = kMaxMatch + kMinMatch + 1;
constexpr unsigned kMaxDist = kWSize - kMinLookahead;
constexpr unsigned kHashSize = 1u << 15;
constexpr unsigned kHashMask = kHashSize - 1;
constexpr unsigned kHashShift = 5;
constexpr unsigned kMaxChain = 8;
constexpr unsigned kNiceMatch = 16;
constexpr unsigned kMaxInsert = 5;
constexpr unsigned kSymbolLimit = 16384 - 1;  // a block ends at this many symbols
constexpr size_t kPendingSize = 1u << 16;

constexpr int kHeapSize = 2 * kLCodes + 1;
constexpr int kSmallest = 1;
constexpr int kRep3_6 = 16, kRepz3_10 = 17, kRepz11_138 = 18;
constexpr int kExtraBlBits[kBlCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
constexpr uint8_t kBlOrder[kBlCodes] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Static codes and the symbol maps of lengths and distances.
struct CoderTables {
  uint8_t lengthCode[256] = {};  // match length - 3 -> length code
  uint8_t distCode[512] = {};    // see DistCode
  int baseLength[kLengthCodes] = {};
  int baseDist[kDCodes] = {};
  uint16_t staticLCode[kLCodes + 2] = {};
  uint8_t staticLLen[kLCodes + 2] = {};
  uint16_t staticDCode[kDCodes] = {};
  uint8_t staticDLen[kDCodes] = {};
};

constexpr unsigned Reverse(unsigned code, int len) {
  unsigned r = 0;
  for (int i = 0; i < len; ++i, code >>= 1) r = (r << 1) | (code & 1);
  return r;
}

constexpr CoderTables MakeCoderTables() {
  CoderTables t;
  int length = 0, code = 0;
  for (code = 0; code < kLengthCodes - 1; ++code) {
    t.baseLength[code] = length;
    for (int n = 0; n < (1 << kExtraLBits[code]); ++n) t.lengthCode[length++] = static_cast<uint8_t>(code);
  }
  // Length 258 has a code of its own, although 227 + 31 would reach it.
  t.lengthCode[length - 1] = static_cast<uint8_t>(code);
  int dist = 0;
  for (code = 0; code < 16; ++code) {
    t.baseDist[code] = dist;
    for (int n = 0; n < (1 << kExtraDBits[code]); ++n) t.distCode[dist++] = static_cast<uint8_t>(code);
  }
  dist >>= 7;
  for (; code < kDCodes; ++code) {
    t.baseDist[code] = dist << 7;
    for (int n = 0; n < (1 << (kExtraDBits[code] - 7)); ++n) t.distCode[256 + dist++] = static_cast<uint8_t>(code);
  }
  int blCount[kMaxBits + 1] = {};
  for (int n = 0; n < kLCodes + 2; ++n) {
    t.staticLLen[n] = n < 144 ? 8 : n < 256 ? 9 : n < 280 ? 7 : 8;
    ++blCount[t.staticLLen[n]];
  }
  unsigned next[kMaxBits + 1] = {};
  unsigned c = 0;
  for (int bits = 1; bits <= kMaxBits; ++bits) next[bits] = c = (c + blCount[bits - 1]) << 1;
  for (int n = 0; n < kLCodes + 2; ++n)
    t.staticLCode[n] = static_cast<uint16_t>(Reverse(next[t.staticLLen[n]]++, t.staticLLen[n]));
  for (int n = 0; n < kDCodes; ++n) {
    t.staticDLen[n] = 5;
    t.staticDCode[n] = static_cast<uint16_t>(Reverse(n, 5));
  }
  return t;
}

constexpr CoderTables kTables = MakeCoderTables();

inline unsigned DistCode(unsigned dist) {
  return dist < 256 ? kTables.distCode[dist] : kTables.distCode[256 + (dist >> 7)];
}

struct TreeNode {
  uint32_t freq = 0;
  uint16_t code = 0;
  uint16_t dad = 0;
  uint16_t len = 0;
};

struct StaticDesc {
  const uint8_t* staticLen;  // null for the code-length tree
  const int* extraBits;
  int extraBase;
  int elems;
  int maxLength;
};

constexpr StaticDesc kLDesc = {kTables.staticLLen, kExtraLBits, kLiterals + 1, kLCodes, kMaxBits};
constexpr StaticDesc kDDesc = {kTables.staticDLen, kExtraDBits, 0, kDCodes, kMaxBits};
constexpr StaticDesc kBlDesc = {nullptr, kExtraBlBits, 0, kBlCodes, 7};

struct TreeDesc {
  TreeNode* tree;
  int maxCode;
  const StaticDesc* stat;
};

class Deflater {
 public:
  Deflater(ZorByteSource& source, ZorByteSink& sink, uint32_t* crc) : source_(source), sink_(sink), crc_(crc) {
    window_.reset(new uint8_t[kWindowSize + kMaxMatch]());
    prev_.reset(new uint16_t[kWSize]());
    head_.reset(new uint16_t[kHashSize]());
    symbols_.reset(new uint8_t[kSymbolLimit * 3]);
    pending_.reset(new uint8_t[kPendingSize]);
    lDesc_ = {dynL_, 0, &kLDesc};
    dDesc_ = {dynD_, 0, &kDDesc};
    blDesc_ = {bl_, 0, &kBlDesc};
    InitBlock();
  }

  uint64_t Run();

 private:
  // Input and matching.
  void FillWindow();
  unsigned InsertString(unsigned pos) {
    const unsigned h =
        ((window_[pos] << (2 * kHashShift)) ^ (window_[pos + 1] << kHashShift) ^ window_[pos + 2]) & kHashMask;
    const unsigned matchHead = head_[h];
    prev_[pos & kWMask] = static_cast<uint16_t>(matchHead);
    head_[h] = static_cast<uint16_t>(pos);
    return matchHead;
  }
  unsigned LongestMatch(unsigned curMatch);

  // Symbols of the current block.
  bool TallyLiteral(uint8_t c) {
    uint8_t* s = &symbols_[symbolCount_ * 3];
    s[0] = s[1] = 0;
    s[2] = c;
    ++dynL_[c].freq;
    return ++symbolCount_ == kSymbolLimit;
  }
  bool TallyMatch(unsigned dist, unsigned lengthMinus3) {
    uint8_t* s = &symbols_[symbolCount_ * 3];
    s[0] = static_cast<uint8_t>(dist);
    s[1] = static_cast<uint8_t>(dist >> 8);
    s[2] = static_cast<uint8_t>(lengthMinus3);
    ++dynL_[kTables.lengthCode[lengthMinus3] + kLiterals + 1].freq;
    ++dynD_[DistCode(dist - 1)].freq;
    return ++symbolCount_ == kSymbolLimit;
  }

  // Trees and block output.
  void InitBlock();
  void PqDownHeap(TreeNode* tree, int k);
  void GenBitLengths(TreeDesc& desc);
  static void GenCodes(TreeNode* tree, int maxCode, const uint16_t* blCount);
  void BuildTree(TreeDesc& desc);
  void ScanTree(TreeNode* tree, int maxCode);
  void SendTree(TreeNode* tree, int maxCode);
  int BuildBlTree();
  void SendAllTrees(int lcodes, int dcodes, int blcodes);
  void CompressBlock(const uint16_t* lcode, const uint8_t* llen, const uint16_t* dcode, const uint8_t* dlen);
  void FlushBlock(bool last);
  void StoredBlock(const uint8_t* buf, size_t length, bool last);

  // Bits and bytes out.
  void SendBits(unsigned value, int length) {
    bitBuffer_ |= static_cast<uint64_t>(value) << bitCount_;
    bitCount_ += length;
    while (bitCount_ >= 8) {
      PutByte(static_cast<uint8_t>(bitBuffer_));
      bitBuffer_ >>= 8;
      bitCount_ -= 8;
    }
  }
  void AlignToByte() {
    if (bitCount_ > 0) PutByte(static_cast<uint8_t>(bitBuffer_));
    bitBuffer_ = 0;
    bitCount_ = 0;
  }
  void PutByte(uint8_t b) {
    pending_[pendingCount_++] = b;
    if (pendingCount_ == kPendingSize) FlushPending();
  }
  void FlushPending() {
    if (pendingCount_ > 0 && !failed_ && !sink_.Write(pending_.get(), pendingCount_)) failed_ = true;
    written_ += pendingCount_;
    pendingCount_ = 0;
  }

  ZorByteSource& source_;
  ZorByteSink& sink_;
  uint32_t* crc_;

  std::unique_ptr<uint8_t[]> window_;
  std::unique_ptr<uint16_t[]> prev_;
  std::unique_ptr<uint16_t[]> head_;
  unsigned strstart_ = 0;
  unsigned lookahead_ = 0;
  unsigned matchStart_ = 0;
  unsigned matchLength_ = kMinMatch - 1;
  long blockStart_ = 0;  // negative once the block's start has slid out of the window
  bool sourceEnded_ = false;

  std::unique_ptr<uint8_t[]> symbols_;  // per symbol: distance (2 bytes, 0 = literal), literal or length - 3
  unsigned symbolCount_ = 0;

  TreeNode dynL_[kHeapSize];
  TreeNode dynD_[2 * kDCodes + 1];
  TreeNode bl_[2 * kBlCodes + 1];
  TreeDesc lDesc_, dDesc_, blDesc_;
  uint16_t blCount_[kMaxBits + 1] = {};
  int heap_[2 * kLCodes + 1] = {};
  int heapLen_ = 0;
  int heapMax_ = 0;
  uint8_t depth_[2 * kLCodes + 1] = {};
  uint64_t optLen_ = 0;     // wraps below zero and back, as the bookkeeping allows
  uint64_t staticLen_ = 0;

  std::unique_ptr<uint8_t[]> pending_;
  size_t pendingCount_ = 0;
  uint64_t bitBuffer_ = 0;
  int bitCount_ = 0;
  uint64_t written_ = 0;
  bool failed_ = false;
};

void Deflater::FillWindow() {
  do {
    unsigned more = kWindowSize - lookahead_ - strstart_;
    if (strstart_ >= kWSize + kMaxDist) {
      std::memmove(window_.get(), window_.get() + kWSize, kWSize - more);
      matchStart_ -= kWSize;
      strstart_ -= kWSize;
      blockStart_ -= static_cast<long>(kWSize);
      // Positions that slide out become 0, the end of every chain.
      for (unsigned n = 0; n < kHashSize; ++n) head_[n] = head_[n] >= kWSize ? head_[n] - kWSize : 0;
      for (unsigned n = 0; n < kWSize; ++n) prev_[n] = prev_[n] >= kWSize ? prev_[n] - kWSize : 0;
      more += kWSize;
    }
    if (sourceEnded_) break;
    uint8_t* to = window_.get() + strstart_ + lookahead_;
    size_t got = 0;
    while (got < more) {
      const size_t n = source_.Read(to + got, more - got);
      if (n == 0) {
        sourceEnded_ = true;
        break;
      }
      got += n;
    }
    if (crc_) *crc_ = Crc32Update(*crc_, to, got);
    lookahead_ += static_cast<unsigned>(got);
  } while (lookahead_ < kMinLookahead && !sourceEnded_);
}

unsigned Deflater::LongestMatch(unsigned curMatch) {
  unsigned chainLength = kMaxChain;
  const uint8_t* scan = window_.get() + strstart_;
  unsigned bestLen = kMinMatch - 1;
  const unsigned niceMatch = std::min(kNiceMatch, lookahead_);
  const unsigned limit = strstart_ > kMaxDist ? strstart_ - kMaxDist : 0;
  do {
    const uint8_t* match = window_.get() + curMatch;
    if (match[bestLen] != scan[bestLen] || match[bestLen - 1] != scan[bestLen - 1] || match[0] != scan[0] ||
        match[1] != scan[1])
      continue;
    unsigned len = 2;
    while (len < kMaxMatch && scan[len] == match[len]) ++len;
    if (len > bestLen) {
      matchStart_ = curMatch;
      bestLen = len;
      if (len >= niceMatch) break;
    }
  } while ((curMatch = prev_[curMatch & kWMask]) > limit && --chainLength != 0);
  return std::min(bestLen, lookahead_);
}

uint64_t Deflater::Run() {
  for (;;) {
    if (lookahead_ < kMinLookahead) {
      FillWindow();
      if (lookahead_ == 0) break;
    }
    unsigned hashHead = 0;
    if (lookahead_ >= kMinMatch) hashHead = InsertString(strstart_);
    if (hashHead != 0 && strstart_ - hashHead <= kMaxDist) matchLength_ = LongestMatch(hashHead);
    bool blockFull;
    if (matchLength_ >= kMinMatch) {
      blockFull = TallyMatch(strstart_ - matchStart_, matchLength_ - kMinMatch);
      lookahead_ -= matchLength_;
      if (matchLength_ <= kMaxInsert && lookahead_ >= kMinMatch) {
        // Short matches: every string inside goes into the chains.
        while (--matchLength_ != 0) InsertString(++strstart_);
        ++strstart_;
      } else {
        strstart_ += matchLength_;
        matchLength_ = 0;
      }
    } else {
      blockFull = TallyLiteral(window_[strstart_]);
      --lookahead_;
      ++strstart_;
    }
    if (blockFull) {
      FlushBlock(false);
      if (failed_) return 0;
    }
  }
  FlushBlock(true);
  FlushPending();
  return failed_ ? 0 : written_;
}

// ---- Trees ---------------------------------------------------------------

void Deflater::InitBlock() {
  for (auto& n : dynL_) n.freq = 0;
  for (auto& n : dynD_) n.freq = 0;
  for (auto& n : bl_) n.freq = 0;
  dynL_[kEndBlock].freq = 1;
  optLen_ = staticLen_ = 0;
  symbolCount_ = 0;
}

// Equal frequencies order by depth, so that flatter subtrees merge first.
static inline bool Smaller(const TreeNode* tree, int n, int m, const uint8_t* depth) {
  return tree[n].freq < tree[m].freq || (tree[n].freq == tree[m].freq && depth[n] <= depth[m]);
}

void Deflater::PqDownHeap(TreeNode* tree, int k) {
  const int v = heap_[k];
  int j = k << 1;
  while (j <= heapLen_) {
    if (j < heapLen_ && Smaller(tree, heap_[j + 1], heap_[j], depth_)) ++j;
    if (Smaller(tree, v, heap_[j], depth_)) break;
    heap_[k] = heap_[j];
    k = j;
    j <<= 1;
  }
  heap_[k] = v;
}

void Deflater::GenBitLengths(TreeDesc& desc) {
  TreeNode* tree = desc.tree;
  const int maxCode = desc.maxCode;
  const StaticDesc& stat = *desc.stat;
  for (auto& c : blCount_) c = 0;
  tree[heap_[heapMax_]].len = 0;  // the root
  int overflow = 0;
  int h;
  for (h = heapMax_ + 1; h < kHeapSize; ++h) {
    const int n = heap_[h];
    int bits = tree[tree[n].dad].len + 1;
    if (bits > stat.maxLength) bits = stat.maxLength, ++overflow;
    tree[n].len = static_cast<uint16_t>(bits);
    if (n > maxCode) continue;  // not a leaf
    ++blCount_[bits];
    const int xbits = n >= stat.extraBase ? stat.extraBits[n - stat.extraBase] : 0;
    const uint64_t f = tree[n].freq;
    optLen_ += f * static_cast<unsigned>(bits + xbits);
    if (stat.staticLen) staticLen_ += f * static_cast<unsigned>(stat.staticLen[n] + xbits);
  }
  if (overflow == 0) return;
  // Too long codes: move leaves up from the deepest levels until the counts fit.
  do {
    int bits = stat.maxLength - 1;
    while (blCount_[bits] == 0) --bits;
    --blCount_[bits];
    blCount_[bits + 1] += 2;
    --blCount_[stat.maxLength];
    overflow -= 2;
  } while (overflow > 0);
  for (int bits = stat.maxLength; bits != 0; --bits) {
    int n = blCount_[bits];
    while (n != 0) {
      const int m = heap_[--h];
      if (m > maxCode) continue;
      if (tree[m].len != static_cast<unsigned>(bits)) {
        optLen_ += (static_cast<uint64_t>(bits) - tree[m].len) * tree[m].freq;
        tree[m].len = static_cast<uint16_t>(bits);
      }
      --n;
    }
  }
}

void Deflater::GenCodes(TreeNode* tree, int maxCode, const uint16_t* blCount) {
  uint16_t next[kMaxBits + 1];
  unsigned code = 0;
  for (int bits = 1; bits <= kMaxBits; ++bits) {
    code = (code + blCount[bits - 1]) << 1;
    next[bits] = static_cast<uint16_t>(code);
  }
  for (int n = 0; n <= maxCode; ++n) {
    const int len = tree[n].len;
    if (len != 0) tree[n].code = static_cast<uint16_t>(Reverse(next[len]++, len));
  }
}

void Deflater::BuildTree(TreeDesc& desc) {
  TreeNode* tree = desc.tree;
  const StaticDesc& stat = *desc.stat;
  int maxCode = -1;
  heapLen_ = 0;
  heapMax_ = kHeapSize;
  for (int n = 0; n < stat.elems; ++n) {
    if (tree[n].freq != 0) {
      heap_[++heapLen_] = maxCode = n;
      depth_[n] = 0;
    } else {
      tree[n].len = 0;
    }
  }
  // A code needs two symbols; add dummies (the sizes account for them roughly).
  while (heapLen_ < 2) {
    const int node = heap_[++heapLen_] = maxCode < 2 ? ++maxCode : 0;
    tree[node].freq = 1;
    depth_[node] = 0;
    --optLen_;
    if (stat.staticLen) staticLen_ -= stat.staticLen[node];
  }
  desc.maxCode = maxCode;
  for (int n = heapLen_ / 2; n >= 1; --n) PqDownHeap(tree, n);
  int node = stat.elems;
  do {
    const int n = heap_[kSmallest];
    heap_[kSmallest] = heap_[heapLen_--];
    PqDownHeap(tree, kSmallest);
    const int m = heap_[kSmallest];
    heap_[--heapMax_] = n;
    heap_[--heapMax_] = m;
    tree[node].freq = tree[n].freq + tree[m].freq;
    depth_[node] = static_cast<uint8_t>(std::max(depth_[n], depth_[m]) + 1);
    tree[n].dad = tree[m].dad = static_cast<uint16_t>(node);
    heap_[kSmallest] = node++;
    PqDownHeap(tree, kSmallest);
  } while (heapLen_ >= 2);
  heap_[--heapMax_] = heap_[kSmallest];
  GenBitLengths(desc);
  GenCodes(tree, maxCode, blCount_);
}

// Counts the code-length symbols (with runs 16, 17, 18) that SendTree will send.
void Deflater::ScanTree(TreeNode* tree, int maxCode) {
  int prevLen = -1, nextLen = tree[0].len, count = 0;
  int maxCount = 7, minCount = 4;
  if (nextLen == 0) maxCount = 138, minCount = 3;
  tree[maxCode + 1].len = 0xffff;  // guard
  for (int n = 0; n <= maxCode; ++n) {
    const int curLen = nextLen;
    nextLen = tree[n + 1].len;
    if (++count < maxCount && curLen == nextLen) continue;
    if (count < minCount) {
      bl_[curLen].freq += count;
    } else if (curLen != 0) {
      if (curLen != prevLen) ++bl_[curLen].freq;
      ++bl_[kRep3_6].freq;
    } else if (count <= 10) {
      ++bl_[kRepz3_10].freq;
    } else {
      ++bl_[kRepz11_138].freq;
    }
    count = 0;
    prevLen = curLen;
    if (nextLen == 0) maxCount = 138, minCount = 3;
    else if (curLen == nextLen) maxCount = 6, minCount = 3;
    else maxCount = 7, minCount = 4;
  }
}

void Deflater::SendTree(TreeNode* tree, int maxCode) {
  int prevLen = -1, nextLen = tree[0].len, count = 0;
  int maxCount = 7, minCount = 4;
  if (nextLen == 0) maxCount = 138, minCount = 3;
  auto send = [this](int symbol) { SendBits(bl_[symbol].code, bl_[symbol].len); };
  for (int n = 0; n <= maxCode; ++n) {
    const int curLen = nextLen;
    nextLen = tree[n + 1].len;
    if (++count < maxCount && curLen == nextLen) continue;
    if (count < minCount) {
      do send(curLen);
      while (--count != 0);
    } else if (curLen != 0) {
      if (curLen != prevLen) {
        send(curLen);
        --count;
      }
      send(kRep3_6);
      SendBits(count - 3, 2);
    } else if (count <= 10) {
      send(kRepz3_10);
      SendBits(count - 3, 3);
    } else {
      send(kRepz11_138);
      SendBits(count - 11, 7);
    }
    count = 0;
    prevLen = curLen;
    if (nextLen == 0) maxCount = 138, minCount = 3;
    else if (curLen == nextLen) maxCount = 6, minCount = 3;
    else maxCount = 7, minCount = 4;
  }
}

int Deflater::BuildBlTree() {
  ScanTree(dynL_, lDesc_.maxCode);
  ScanTree(dynD_, dDesc_.maxCode);
  BuildTree(blDesc_);
  int maxBlIndex;
  for (maxBlIndex = kBlCodes - 1; maxBlIndex >= 3; --maxBlIndex)
    if (bl_[kBlOrder[maxBlIndex]].len != 0) break;
  optLen_ += 3 * (static_cast<uint64_t>(maxBlIndex) + 1) + 5 + 5 + 4;
  return maxBlIndex;
}

void Deflater::SendAllTrees(int lcodes, int dcodes, int blcodes) {
  SendBits(lcodes - 257, 5);
  SendBits(dcodes - 1, 5);
  SendBits(blcodes - 4, 4);
  for (int rank = 0; rank < blcodes; ++rank) SendBits(bl_[kBlOrder[rank]].len, 3);
  SendTree(dynL_, lcodes - 1);
  SendTree(dynD_, dcodes - 1);
}

void Deflater::CompressBlock(const uint16_t* lcode, const uint8_t* llen, const uint16_t* dcode,
                             const uint8_t* dlen) {
  for (unsigned i = 0; i < symbolCount_; ++i) {
    const uint8_t* s = &symbols_[i * 3];
    unsigned dist = s[0] | (s[1] << 8);
    unsigned lc = s[2];
    if (dist == 0) {
      SendBits(lcode[lc], llen[lc]);
      continue;
    }
    unsigned code = kTables.lengthCode[lc];
    SendBits(lcode[code + kLiterals + 1], llen[code + kLiterals + 1]);
    if (const int extra = kExtraLBits[code]; extra != 0) SendBits(lc - kTables.baseLength[code], extra);
    --dist;
    code = DistCode(dist);
    SendBits(dcode[code], dlen[code]);
    if (const int extra = kExtraDBits[code]; extra != 0) SendBits(dist - kTables.baseDist[code], extra);
  }
  SendBits(lcode[kEndBlock], llen[kEndBlock]);
}

void Deflater::StoredBlock(const uint8_t* buf, size_t length, bool last) {
  SendBits(last ? 1 : 0, 3);
  AlignToByte();
  PutByte(static_cast<uint8_t>(length));
  PutByte(static_cast<uint8_t>(length >> 8));
  PutByte(static_cast<uint8_t>(~length));
  PutByte(static_cast<uint8_t>(~length >> 8));
  for (size_t i = 0; i < length; ++i) PutByte(buf[i]);
}

void Deflater::FlushBlock(bool last) {
  const uint8_t* buf = blockStart_ >= 0 ? window_.get() + blockStart_ : nullptr;
  const uint64_t storedLen = static_cast<uint64_t>(static_cast<long>(strstart_) - blockStart_);
  BuildTree(lDesc_);
  BuildTree(dDesc_);
  const int maxBlIndex = BuildBlTree();
  uint64_t optLenB = (optLen_ + 3 + 7) >> 3;
  const uint64_t staticLenB = (staticLen_ + 3 + 7) >> 3;
  if (staticLenB <= optLenB) optLenB = staticLenB;
  // A stored block holds at most 65535 bytes; a block that poorly compressed
  // and that long cannot occur, but stays coded if it did.
  if (storedLen + 4 <= optLenB && buf != nullptr && storedLen <= 0xffff) {
    StoredBlock(buf, storedLen, last);
  } else if (staticLenB == optLenB) {
    SendBits((1 << 1) + (last ? 1 : 0), 3);
    CompressBlock(kTables.staticLCode, kTables.staticLLen, kTables.staticDCode, kTables.staticDLen);
  } else {
    SendBits((2 << 1) + (last ? 1 : 0), 3);
    SendAllTrees(lDesc_.maxCode + 1, dDesc_.maxCode + 1, maxBlIndex + 1);
    uint16_t lcode[kLCodes], dcode[kDCodes];
    uint8_t llen[kLCodes], dlen[kDCodes];
    for (int n = 0; n < kLCodes; ++n) lcode[n] = dynL_[n].code, llen[n] = static_cast<uint8_t>(dynL_[n].len);
    for (int n = 0; n < kDCodes; ++n) dcode[n] = dynD_[n].code, dlen[n] = static_cast<uint8_t>(dynD_[n].len);
    CompressBlock(lcode, llen, dcode, dlen);
  }
  InitBlock();
  if (last) AlignToByte();
  blockStart_ = strstart_;
  FlushPending();
}

}  // namespace

uint64_t DeflateStream(ZorByteSource& source, ZorByteSink& destination, uint32_t* crc) {
  return std::make_unique<Deflater>(source, destination, crc)->Run();
}

size_t DeflateBuffer(const void* source, void* destination, size_t sourceLength, size_t destinationCapacity) {
  ZorMemorySource in(source, sourceLength);
  ZorMemorySink out(destination, destinationCapacity);
  try {
    const uint64_t n = DeflateStream(in, out);
    return n < destinationCapacity ? static_cast<size_t>(n) : 0;
  } catch (...) {
    return 0;  // out of memory
  }
}
