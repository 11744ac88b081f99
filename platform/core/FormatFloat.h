#pragma once
// Number patterns: FormatFloat(format, value). Separators come from the
// settings, so "#,##0.00" is written "1 234,50" (U+202F) under fr_FR.
//
// A pattern has up to three sections separated by ";":
//   positive;negative;zero
// - One section serves every value; a negative value gets a leading "-".
// - With two, the second serves negative values and writes no sign of its
//   own: FormatFloat("0.0;(0.0)", -2.5) == "(2.5)".
// - The third serves zero. An empty or missing section falls back to the
//   first (with "-" for a negative value).
// - The section is chosen after rounding: a value that rounds to zero in its
//   section is written with the zero section, never as "-0":
//   FormatFloat("0.0", -0.01) == "0.0", FormatFloat("0;-0;zero", -0.2) == "zero".
//
// Within a section:
//   0     a digit, or 0 where the value has none: FormatFloat("000", 7) == "007".
//   #     a digit, or nothing: FormatFloat("#.##", 0.5) == ".5".
//         Integer digits beyond the placeholders all go at the first one:
//         FormatFloat("0", 12345) == "12345".
//   .     the decimal separator (the first one; later ones are ignored). It is
//         left out when no decimal digit follows: FormatFloat("0.##", 3) == "3".
//   ,     anywhere in the integer part: thousand separators every three
//         integer digits: FormatFloat("#,##0", 1234567) == "1,234,567".
//         A "," elsewhere is dropped.
//   E+ E- e+ e-   scientific notation; the 0s after it give the least number
//         of exponent digits, "E+" always writes the sign, "E-" only "-":
//         FormatFloat("0.00E+00", 12345) == "1.23E+04" (the integer
//         placeholders give the mantissa's integer digits:
//         FormatFloat("00.00E+00", 12345) == "12.35E+03").
//   'x' "x"   quoted text, written as it stands: FormatFloat("0 'kg'", 3) == "3 kg".
//   other characters are written as they stand.
// A section without 0, # or an exponent is written as its text alone:
// FormatFloat("0;'negative'", -5) == "negative".
//
// Rounding: the value is first taken to 15 significant digits (exact ties to
// even), then rounded at the last placeholder with halves away from zero, as
// FloatToStrF ffFixed does: FormatFloat("0.00", 2.675) == "2.68" (2.675 has
// 15 digits "267500000000000").
//
// An empty pattern or section, a value with more than 18 integer digits in a
// pattern without exponent, NaN and infinities are written as
// FloatToStr(value) (ffGeneral, 15 digits).

#include <string>
#include <string_view>

#include "platform/core/FormatSettings.h"

std::string FormatFloat(std::string_view format, double value, const TFormatSettings& settings = FormatSettings());
