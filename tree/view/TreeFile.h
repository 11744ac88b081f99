#pragma once
// The family's tree files, as functions over trees and tree lists:
// - the "#nuxa" tree file that the tree box exports: a header with the title
//   and the taxa, then one line per tree with its topology over 1-based taxon
//   numbers (no lengths, no support values);
// - the family's older tree export, a plain node list that the tree box
//   imports from a fixed place (OlderTreeExportPath).
//
// Lines are written with LF; readers accept CR, LF and CR LF.

#include <memory>
#include <string>
#include <vector>

#include "platform/core/StringList.h"
#include "tree/model/NTreeList.h"

inline constexpr const char* kOlderExportFolder = "NUXA/TEMPXXYY.KVX";
inline constexpr const char* kOlderExportFileName = "TEMPTREE.KVX";
inline constexpr const char* kBadOlderExportText = "The tree file is not in the expected format.";

// Where the older export is read from: the folder kOlderExportFolder under
// the user's home folder, file kOlderExportFileName.
std::string OlderTreeExportPath();

// Topology of `tree` in the family's notation, with ";" at the end and no
// line break: "(" children of the root ")" where a taxon is its 1-based
// number and an internal node "(" its two children ")". An unrooted tree is
// written with a basal trifurcation: the root's internal child is dissolved
// into the root (when both children are internal, the first one). Example:
// unrooted, root children (1,2) and (3,4): "(1,2,(3,4));". Raises
// Exception(kInvalidTreeText) when the node table is not one tree.
std::string FamilyTreeText(const TTreeData& tree, bool isRooted);

// Header lines of the family tree file: "#nuxa", "!Title: <title>;",
// "!Format: datatype=tree ntaxa=<n>;", "", one "[i] #<name>" line per taxon
// (blanks in names turned into "_", outer blanks trimmed), "".
TStringList FamilyTreeFileHeader(const std::string& title, const std::vector<std::string>& names);

// One tree of the older export: the list (one tree, names, StatsName and
// MaxStats set, isRooted from the code) and what the code said.
struct TOlderTreeExport {
  std::unique_ptr<TTreeList> List;
  bool isRooted = false;
  bool isBLen = false;
  bool isStats = false;
};

// Reads the older export text:
//   line 1: a code of three characters: "N", "P" or "U" ("U": rooted), then
//           "B" when branch lengths follow, then "B" (bootstrap, StatsName
//           "%BP Value") or "E" (standard-error test, "%CP Value") when
//           support values follow, in percent (MaxStats 100);
//   line 2: N, the number of taxa (2..kMaxNoOfOTUs);
//   N lines: a number (not used), then the taxon's name (trimmed);
//   N-1 lines, internal node k = 0..N-2: a number (not used), a and b, the
//           1-based numbers of its children; with lengths the lengths of a
//           and b; with support values their support values; anything after
//           that is ignored. Numbers use ".".
// Raises Exception(kBadOlderExportText) for a short text, a missing or
// malformed number, or a count or node number out of range, and
// Exception(kInvalidTreeText) when the nodes do not form one tree.
TOlderTreeExport ParseOlderTreeExport(const TStringList& lines);
