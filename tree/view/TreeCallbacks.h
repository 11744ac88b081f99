#pragma once
// Host callbacks of the tree box, as comparable method pointers (see
// platform/core/Events.h): setters compare them with SameCode.

#include <span>
#include <string>

#include "platform/core/Events.h"
#include "platform/core/StringList.h"
#include "tree/model/NTreeData.h"

// Per-tree values: BLenFunc, SEFunc and StatsFunc fill the tree's lengths,
// errors or support values (their result is not used); ValueFunc and
// Value2Func return the tree's Value and Value2.
using TBranchInfoFunc = TMethodPointer<double(TTreeData& tree)>;

// Ancestral states of one site: entry i of AncState is the character-state
// text of node i+1, which the host writes.
using TAncStateProc = TMethodPointer<void(std::span<std::string* const> AncState, int SiteIndex, TTreeData& tree)>;

// State probabilities of one node and site, as "state=probability" lines
// the host adds to Probs; the result is not used by the tree box.
using TAncProbFunc = TMethodPointer<double(int NodeIndex, int SiteIndex, TTreeData& tree, TStringList& Probs)>;
