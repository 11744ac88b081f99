#pragma once
// The process-wide options that stores with UseGlobalOptions follow.

class TCustomMemoSource;

// Copies Options, TabStops, Delimeters and BlockIndent of the global options
// into Source, each through the store's own setter, then the store's
// keep-trailing-blanks value.
void ApplyGlobalMemoOptions(TCustomMemoSource& Source);
