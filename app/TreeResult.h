#pragma once
// Reader of the tool's distance result into a tree list.
//
// The file, read as lines (every line trimmed of outer blanks and control
// characters before it is taken apart), for N taxa:
//   line 1          N, a blank, anything (a line without a blank is malformed)
//   lines 2..N+1    taxon i-2: the text after the first blank (the whole line
//                   when it has none)
//   node lines      from line N+2, two per internal node in file order, each
//                   "... and k length" or, with bootstrap, "... and k length
//                   support": everything up to and including the first "and"
//                   and the character after it is dropped (the first three
//                   characters when there is no "and"); k counts from 1
//                   (taxa 1..N, the j-th internal node of the file N+1+j).
//                   An NJ tree lists its last internal node with one line:
//                   that child joins the previous internal node at the root
//                   over a branch of 0, which takes the child's support; the
//                   line after it (3N-1) is passed over.
//   lines 3N..      free text, kept as it stands
// Numbers are read with "." and also with the locale's decimal separator.
//
// A result is malformed, and is dropped as a whole, unless 2 <= N <= 16384,
// every line that is read exists and holds its numbers (finite ones), and the
// node table is one tree: each record's children are taxa or earlier internal
// nodes and every node but the root is a child exactly once.

#include <memory>
#include <optional>
#include <string>

#include "platform/core/StringList.h"
#include "tree/model/NTreeList.h"

struct TTreeResultOptions {
  // The bootstrap box is checked: node lines carry support values, the list's
  // MaxStats is `replicates` and the tree has support values.
  bool bootstrap = false;
  int replicates = 0;
  // UPGMA: rooted, every internal node listed with two lines. Otherwise NJ.
  bool upgma = false;
};

struct TTreeResult {
  std::unique_ptr<TTreeList> list;  // one tree, branch lengths, no errors
  // What the "Output" page shows: the free text, an empty line, and the tree
  // in Newick notation (with support values when there are any).
  TStringList output;
};

// nullopt for a malformed result.
std::optional<TTreeResult> ParseTreeResult(const TStringList& lines, const TTreeResultOptions& options);
// nullopt also when the file cannot be read.
std::optional<TTreeResult> ReadTreeResult(const std::string& fileName, const TTreeResultOptions& options);
