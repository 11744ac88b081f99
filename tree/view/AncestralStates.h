#pragma once
// Facts a host writes into a tree list's information lines, as the tree box
// publishes them (CodonPositionsInfo, LabelledSitesInfo, TreeCI and the other
// consistency indices), and the reading of one state probability. The tree
// box's ancestral-state members (NTreeBox.h) use these.
//
// Keys are matched anywhere in a line and case-sensitively, so "CI =" is also
// found in lines holding "iCI =", "RCI =" or "iRCI =": hosts write the CI line
// before those, and the RCI line before the iRCI line, so that each getter
// finds its own line first.

#include <string>
#include <string_view>

#include "platform/core/StringList.h"

// Keys of the information lines.
inline constexpr const char* kCodonPositionsKey = "Codon Positions";
inline constexpr const char* kLabelledSitesKey = "Labelled sites";
inline constexpr const char* kTreeCIKey = "CI =";
inline constexpr const char* kTreeCIInfoSitesKey = "iCI =";
inline constexpr const char* kTreeRCIKey = "RCI =";
inline constexpr const char* kTreeRCIInfoSitesKey = "iRCI =";
inline constexpr const char* kTreeRIKey = "RI =";
inline constexpr const char* kTreeRIInfoSitesKey = "iRI =";

// The last line holding `key`: its text from two characters after its first
// ":" (the ":" and one blank skipped), at most 255 characters. Empty when no
// line holds the key or that line has no ":".
std::string InformationAfterColon(const TStringList& lines, std::string_view key);

// The first line holding `key`: its text from two characters after its first
// "=" up to, not including, its first "(". Empty when no line holds the key
// or no "(" follows the value.
std::string InformationIndexValue(const TStringList& lines, std::string_view key);

// The probability of `state` among "state=probability" lines, read with
// `decimalSeparator`. Raises EConvertError when no line gives a number for
// the state.
double StateProbability(const TStringList& probs, char state, char decimalSeparator);
