#pragma once
// Shared by the store's edit files.

#include <string>

#include "components/codeedit/MemoSource.h"

// How far Column lies inside a tab's expansion (0 when not inside one);
// Index is the text index of the character whose span holds the column.
std::int32_t TabOffsetAt(const TCustomMemoSource& S, const std::u32string& Text, std::int32_t Column,
                         std::int32_t& Index);
// The length of Text without its trailing characters 0..32.
size_t TrimmedLength(const std::u32string& Text);
