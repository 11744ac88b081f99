#pragma once
// TTreeList: an ordered list of trees of one shape over one set of taxon
// names, with what describes the set. The Newick reader fills it, the Newick
// writer reads it, the distance-result parser builds it and the tree view
// takes it over.
//
// Invariants: every tree held has the NoOfOTUs, isBLen and isSE of tree 0;
// while trees are held, OTUNames names each of their taxa (entry i is taxon i).

#include <memory>
#include <string>
#include <vector>

#include "platform/core/StringList.h"
#include "tree/model/NTreeData.h"

class TStream;

// Longest caption, name or information text a binary tree-list record holds.
inline constexpr int kMaxRecordStringLength = 4095;

inline constexpr const char* kEmptyNewickText = "The newick tree was empty.  Please check your tree.";
inline constexpr const char* kSemicolonMissingCaption = "Semicolon Missing";
inline constexpr const char* kSemicolonMissingText =
    "While reading in your newick tree file we noticed it did not terminate with a semicolon as the "
    "newick standard requires.\nThis could indicate a corrupted file, would you like to continue?";

class TTreeList {
 public:
  TTreeList() = default;
  TTreeList(const TTreeList&) = delete;
  TTreeList& operator=(const TTreeList&) = delete;

  // Free information lines about the trees.
  TStringList Information;
  // Captions of the trees' Freq, Value, Value2 and of the support values;
  // empty when the trees carry no such value.
  std::string FreqName;
  std::string ValueName;
  std::string Value2Name;
  std::string StatsName;
  // -1: no support values; 0: support values are raw numbers, written as
  // integers; otherwise the total they are counted against (replicates, 1,
  // 100).
  double MaxStats = -1;
  // Lower-triangular distances between the taxa, handed on to the tree view.
  // The list never frees it (Clear drops the pointer); a tree box that takes
  // the list over takes the matrix with it and frees it, so a matrix set here
  // must come from new (CreateDistanceMatrix(...).release()).
  TDistanceMatrix* DistanceMatrix = nullptr;
  // The taxon names: entry i names taxon i of every tree.
  TStringList OTUNames;
  // The root of the trees is a real node, not an artefact of storage.
  bool isRooted = false;

  // Tree i; EListError "List index out of bounds (i)" outside 0..NoOfTrees-1.
  TTreeData& Items(int i);
  const TTreeData& Items(int i) const;
  int NoOfTrees() const { return static_cast<int>(trees_.size()); }
  // NoOfOTUs of tree 0; 0 when the list is empty.
  int NoOfOTUs() const;

  // Name i; empty at or beyond the end of OTUNames (and for i < 0).
  std::string OTUName(int i) const;
  // Appends empty names until entry i exists, then stores the name; ignored
  // for i < 0.
  void SetOTUName(int i, std::string name);

  // The list holds trees and tree 0 has branch lengths (standard errors).
  // Setting a different value sets it on every tree.
  bool isBLen() const;
  void SetIsBLen(bool value);
  bool isSE() const;
  void SetIsSE(bool value);
  // The list holds trees and MaxStats is above -1e-9. Setting a different
  // value makes MaxStats 0 (true) or -1 (false).
  bool isStats() const;
  void SetIsStats(bool value);

  // Takes the tree over when it fits: the list is empty and the tree has
  // taxa, or its NoOfOTUs, isBLen and isSE equal the list's. Returns the tree
  // now held, or nullptr when it was refused; a refused tree is left in
  // `tree` with the caller (a temporary is then freed as usual).
  TTreeData* Add(std::unique_ptr<TTreeData>&& tree);
  // Removes and frees tree i; ignored outside 0..NoOfTrees-1.
  void Delete(int i);
  // Frees every tree, the last first.
  void DeleteAll();
  // DeleteAll, then empties the information, names and captions; MaxStats
  // -1; drops the distance matrix without freeing it; isRooted false.
  void Clear();
  // Sum of Freq over the trees.
  double TotalFrequency() const;
  void AssignInformation(const TStringList& lines) { Information.Assign(lines); }

  // The binary tree-list record at the stream's position (little-endian):
  // two reserved int32 0; Information as comma text; four reserved int32 0;
  // FreqName, ValueName, Value2Name, StatsName; int32 flags (1 lengths,
  // 2 errors, 4 support values, 8 rooted); double MaxStats; int32 T trees;
  // int32 C names (NoOfOTUs when T > 0, else the number of names); C names;
  // T tree records. A string is an int32 length L then L bytes (L <= 0: empty).
  //
  // WriteToFile raises ERangeError, before writing anything, when a caption or
  // a name is longer than kMaxRecordStringLength; of Information it writes the
  // leading lines whose comma text fits in that length (all when they fit). A
  // failed write raises EInOutError.
  // ReadFromFile clears the list first; `version` is that of the enclosing
  // record and decides whether old trees carry support values. It raises
  // ERangeError for a string longer than kMaxRecordStringLength, for a name
  // count outside 2..kMaxNoOfOTUs while trees follow, or for a tree whose node
  // table is not a tree; EInOutError for a short read or for a count that
  // cannot fit in the rest of the stream. The list then keeps what was read.
  void WriteToFile(TStream& F) const;
  void ReadFromFile(TStream& F, int version);

  // Newick text of tree `index` ("." as decimal separator). Lengths are
  // written when withBLen is true, the list has lengths and the tree's SBL is
  // above 1e-13; support values when withStats is true and isStats, on
  // internal nodes only: as integers when MaxStats is 0, else as the
  // proportion Stats/MaxStats with 4 decimals. An internal branch whose
  // support + 1e-12 is below `condense` is dissolved into its parent's group
  // (condense 0 dissolves only the -1 of a resolved multifurcation). An
  // unrooted list is written with a basal trifurcation, the two root branches
  // merged into one. Raw support values beyond 64 bits are written as digits
  // and a power of ten without a point ("56e95"); a support value that is not
  // finite is left out. A tree whose root is not in the last record is
  // written too (node 2N-2 has no entry there: length 0, support 0). Any
  // failure (a malformed node table, an index outside the list) leaves
  // `text` empty.
  void OutputNewickTree(int index, bool withBLen, bool withStats, double condense, std::string& text) const;
  // Writes tree `index` as one CR LF terminated line; true when its text is
  // not empty. False, without raising, when the file cannot be created or
  // written.
  bool ExportToNewickFile(int index, const std::string& FileName, bool withBLen, bool withStats,
                          double condense) const;
  // Writes every tree, one CR LF terminated line each, in list order; stops
  // after the first tree whose text is empty (its empty line is written) and
  // then returns false. An empty list writes an empty file and returns true.
  // False, without raising, when the file cannot be created or written.
  bool ExportAllToNewickFile(const std::string& FileName, bool withBLen, bool withStats, double condense) const;

  // Reads every tree of a Newick text into the list, replacing what it held.
  // `names`, when given, fixes the taxa: a taxon's number is the index of its
  // name there (it must be below the number of taxa of the first tree);
  // without it the first tree numbers the taxa in order of appearance. Each
  // tree must name every taxon exactly once, the first tree too. Names are
  // trimmed of blanks and control characters at both ends, as written. A comment
  // directly after a group's ")" is a comment, never a support label. Accepts branch lengths, support
  // values in the label conventions, comments in square brackets, quoted
  // names, internal labels (ignored) and multifurcations (resolved into
  // binary nodes whose extra nodes get support -1). Numbers use ".".
  //
  // True when at least one tree was read. A text without ";" after its last
  // tree (a "(" after the last ";") asks the user
  // (through Dialogs(), "Semicolon Missing") whether to go on: No returns
  // false and leaves the list as it was. Any other failure returns false with
  // the list cleared. An empty text raises Exception(kEmptyNewickText) and
  // leaves the list untouched.
  bool ImportFromNewick(const std::string& text, const TStringList* names);
  // False when the file does not exist, is not a regular file or cannot be
  // opened; otherwise its lines joined without separator go through
  // ImportFromNewick.
  bool ImportFromNewickFile(const std::string& FileName, const TStringList* names);

 private:
  // ImportFromNewick on a text it may change in place.
  bool ImportNewick(std::string text, const TStringList* names);

  std::vector<std::unique_ptr<TTreeData>> trees_;
};
