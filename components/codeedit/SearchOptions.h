#pragma once
// The options of find and replace in text stores: one process-wide object
// (GetOptionExt<TSearchOptions>()), which the find and replace dialogs fill
// and every store's search reads. It is kept in the settings below
// "SearchOptions\", one value per published property.

#include <cstdint>
#include <string>

#include "components/base/OptionExt.h"
#include "platform/classes/TypInfo.h"

enum TSearchDirection : std::uint8_t { sdForward, sdBackward };
// ssSelectedText searches the selection only.
enum TSearchScope : std::uint8_t { ssGlobal, ssSelectedText };
// soFromCursor starts at the caret; soEntireScope at the start (forward) or
// the end (backward) of the scope.
enum TSearchOrigin : std::uint8_t { soFromCursor, soEntireScope };
// Where a search through files looks; the stores do not use it.
enum TSearchWhere : std::uint8_t { swDirectories };

inline constexpr const char* kSearchOptionsKey = "SearchOptions\\";

// Published in this order; every property is a plain value.
class TSearchOptions : public TOptionExt {
  KESTOVA_CLASS(TSearchOptions)
 public:
  TSearchOptions() = default;

  bool ShowNotFound = false;  // report an unsuccessful search
  bool ReplaceAll = false;    // replace every occurrence
  bool InReplace = false;     // the last operation was a replace (for SearchAgain)
  bool FirstSearch = false;   // the next search is the first of a new find or replace
  std::string TextToFind;
  std::string ReplaceWith;
  bool PromptOnReplace = false;  // ask before each replacement
  bool CaseSensitive = false;
  bool WholeWordsOnly = false;
  bool RegularExpr = false;  // search with the pattern matcher (ZRRegExpr.h)
  TSearchDirection Direction = sdForward;
  TSearchScope Scope = ssGlobal;
  TSearchOrigin Origin = soEntireScope;
  TSearchWhere Where = swDirectories;  // for searches through files
  std::string FileMask;                // likewise
  bool IncludeSubDirs = false;         // likewise

  std::string GetStorageKey() const override { return kSearchOptionsKey; }
};

namespace TypeInfos {
const TTypeInfo* TSearchDirection();
const TTypeInfo* TSearchScope();
const TTypeInfo* TSearchOrigin();
const TTypeInfo* TSearchWhere();
}  // namespace TypeInfos

// The global options (made and loaded on first use).
TSearchOptions& SearchOptions();

// Whether find and replace use modal dialogs (initially true). Off, the one
// modeless search window shows the stores' reports itself, so they count as
// handled unless OnSearchException says otherwise.
bool UseModalDialogs();
void SetUseModalDialogs(bool Value);

// Texts of the reports and the prompt (Format patterns; "%s" is the search
// text with every "&" doubled).
inline constexpr const char* kNotFoundText = "Search string '%s' not found";
inline constexpr const char* kReplacePromptText = "Replace this occurence of '%s'?";
inline constexpr const char* kInvalidBlockText = "Tried to search marked block but it is invalid";
inline constexpr const char* kCursorOutsideBlockText =
    "Tried to search marked block from cursor but cursor is outside block";
