#pragma once
// Internals of the Newick reader and writer shared between their files.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TTreeList;

// Newick numbers are written and read with "." whatever the locale: a comma
// would make the text unreadable by every program, this one included.
inline constexpr char kNewickDecimalSeparator = '.';

// The taxon name as the writer puts it: trimmed; bare with blanks made "_"
// when it holds none of ( ) : ; ' _ , [ ]; otherwise in single quotes with
// inner quotes doubled.
std::string NewickTaxonText(const std::string& name);

// Text passes of the reader, each one linear scan. "Outside quoted names"
// means not between a name's opening and closing single quote; a doubled
// quote inside a name does not close it.

// Removes every character of `chars`.
void RemoveChars(std::string& s, std::string_view chars);
// The position just after the quoted name that opens at s[i] (the end of the
// text when it is not closed).
size_t SkipQuoted(std::string_view s, size_t i);
// Removes blanks outside quoted names (blanks inside names stay).
void RemoveBlanks(std::string& s);
// Each tree (up to its ";") holds a "(", as many "(" as ")", and at each ")"
// a "," since the most recent "("; the whole text balances too. Comments and
// quoted names are passed over.
bool ValidNewickText(std::string_view s);
// Deletes each comment in square brackets that directly follows a ")"
// outside quoted names (a "[" without "]" is left for RemoveComments). Run
// before the label conventions, so that such a comment is not read as a
// support label.
void RemoveCommentsAfterGroups(std::string& s);
// Deletes comments in square brackets outside quoted names; false when a "["
// has no "]" after it or a "]" is left over.
bool RemoveComments(std::string& s);
// Deletes the label after a group's ")" up to the next ",", ":", ")" or ";";
// a TAB directly after the ")" starts a support value and is kept.
void RemoveInternalLabels(std::string& s);
// Text after the last ";" outside quoted names holds a "(" outside quoted
// names and comments: a tree whose ";" is missing.
bool TreeAfterLastEnd(std::string_view s);
// Positions of the ";" outside quoted names: the ends of the trees.
std::vector<size_t> TreeEnds(std::string_view s);
// Taxa of one tree: each "(" or "," outside quoted names not followed by "(".
int CountTaxa(std::string_view tree);
// First `wanted` outside quoted names, or npos.
size_t FindOutsideQuotes(std::string_view s, char wanted);

// Support values (bootstrap values, posterior probabilities) come in several
// label conventions. Tries them in order and applies the first that fits,
// turning every support label into a TAB followed by its value; true when one
// was applied. `text` has no blanks or TABs outside quoted names yet.
//   A: ":" values on groups only (no taxon has one): every ":" becomes a TAB;
//   B: a "[" after a group's ")": in the stretch after each ")" up to the next
//      "," or ")", every "[" becomes a TAB and the first "]" is removed;
//   C: some ")" is directly followed by a digit: a TAB is inserted after
//      every ")" directly followed by a digit.
bool ApplySupportLabelConvention(std::string& text);

// Raises maxStats for a support value read from `label`: a label holding the
// decimal point and a value above maxStats makes maxStats 10^ceil(log10 v)
// for v >= 1, else 1. Integer labels leave it (0 stands for raw counts).
void RaiseMaxStats(double& maxStats, std::string_view label, double value);

// After all trees were read: decides from tree 0 whether the numbers read as
// branch lengths are real lengths, support values or nothing, and sets
// MaxStats and StatsName to match; applies the decision to every tree. Does
// nothing when the list has no branch lengths.
void SupportPostPass(TTreeList& list);
