#pragma once
// memostore's script mode and tab expansion mode.

#include <iosfwd>

class TCustomMemoSource;

// Runs the commands read from In against Source, one per line, and writes
// to Out the lines, caret, selection and StoreState after each update the
// store announces. Answers 0, or 1 after a bad command (reported on Out).
int RunScript(TCustomMemoSource& Source, std::istream& In, std::ostream& Out);

// Writes every line of In to Out with its tabs expanded by Source.
void ExpandLines(TCustomMemoSource& Source, std::istream& In, std::ostream& Out);
