#pragma once
// The class library's edit-mask language, without any window: parsing a
// mask, formatting a value into it, reading the value back, checking the
// required positions and the overwrite typing model. TCustomMaskEdit
// (MaskEdit.h) and every other masked editor use these; nothing else
// implements the language.
//
// A mask is up to three fields separated by ";": the pattern, then "0" to
// drop the literals from the value (anything else, or no field, keeps
// them), then the blank character (default "_"). The two trailing fields
// are recognised only among the mask's last four characters, so a ";"
// earlier on is a literal of the pattern. Pattern characters:
//   !  the value is aligned to the end: leading blanks are dropped
//   >  letters that follow become upper case;  <  lower case;  <>  neither
//   \  the next character is a literal
//   L  a letter (required)          l  a letter (optional)
//   A  a letter or digit (required) a  a letter or digit (optional)
//   C  any character (required)     c  any character (optional)
//   0  a digit (required)           9  a digit (optional)
//   #  a digit, a space, "+" or "-" (optional)
//   :  the locale's time separator  /  the locale's date separator
//   anything else is a literal of itself.
// Directives and the trailing fields take no text position; every other
// pattern character takes one. Positions and texts count code points (the
// edits count characters the same way); texts are UTF-8.
//
// Every function takes any mask and any text: a mask is user input in a
// stored form, so nothing here assumes it is well formed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TMaskCharKind : std::uint8_t { Literal, Letter, LetterOrDigit, Any, Digit, DigitOrSign };
enum class TMaskCase : std::uint8_t { Keep, Upper, Lower };

struct TMaskPosition {
  TMaskCharKind Kind = TMaskCharKind::Literal;
  bool Required = false;
  TMaskCase Case = TMaskCase::Keep;
  char32_t Literal = 0;  // for Kind Literal
  bool operator==(const TMaskPosition&) const = default;
};

struct TEditMask {
  std::vector<TMaskPosition> Positions;
  bool Reversed = false;      // "!"
  bool KeepLiterals = true;   // second field not "0"
  char32_t BlankChar = U'_';  // third field

  // The number of text positions (MaskPositions).
  int Count() const { return static_cast<int>(Positions.size()); }
  bool Empty() const { return Positions.empty(); }
  bool IsLiteral(int Index) const;
  // The first editable position at or after Index (Count() when none).
  int NextEditable(int Index) const;
  // The last editable position before Index (-1 when none).
  int PrevEditable(int Index) const;
};

// Parses Mask. "/" and ":" take the first character of the separators
// given ("/" and ":" when empty). An empty mask has no positions.
TEditMask ParseEditMask(std::string_view Mask, std::string_view DateSeparator = "/",
                        std::string_view TimeSeparator = ":");

// True when C may stand at a position of that kind (never for a literal).
bool MaskCharAllowed(TMaskCharKind Kind, char32_t C);
// C as the position's case directive says.
char32_t MaskApplyCase(const TMaskPosition& Position, char32_t C);

// The value (without literals) formatted into the mask: literals at their
// places, missing characters the blank; with "!" the value fills the
// pattern from its end. Characters beyond the editable positions are cut.
std::string FormatMaskText(const TEditMask& Mask, std::string_view Value);
// Text that carries its literals, fitted to the mask: each run between two
// literals is padded with blanks or cut to the mask's run (at its start
// for "!"), and spaces at editable positions become the blank. A literal
// missing from the text takes no characters: the run takes the next ones.
std::string PadMaskLiterals(const TEditMask& Mask, std::string_view Text);
// The text an edit shows for a value: PadMaskLiterals when the mask keeps
// its literals, else FormatMaskText. Without positions, Value itself.
std::string MaskedTextOf(const TEditMask& Mask, std::string_view Value);
// The value of a shown text: literals removed, trailing blanks (leading
// ones with "!") dropped, other blanks as spaces; a mask that keeps
// literals then gets them back, with spaces for the empty positions.
// Without positions, Text itself.
std::string MaskValueText(const TEditMask& Mask, std::string_view Text);
// The shown text with every editable position blank.
std::string BlankMaskText(const TEditMask& Mask);

// The first required position whose character is missing, the blank
// (unless IgnoreBlank) or a space (allowed for "C"); -1 when the text is
// complete.
int FirstMissingPosition(const TEditMask& Mask, std::string_view Text, bool IgnoreBlank = false);

// The overwrite model on a shown text (code points).
struct TMaskTyping {
  std::u32string Text;
  int Caret = 0;         // the position whose character is selected next
  bool Refused = false;  // the character was refused: beep
};
// Blanks the editable positions in [Start, Stop).
std::u32string BlankMaskRange(const TEditMask& Mask, std::u32string Text, int Start, int Stop);
// Types C with the caret at Caret. A caret on a literal moves to the next
// editable position first. An allowed character replaces the one there
// (case converted) and the caret moves to the next editable position; a
// character equal to the next literal moves the caret past that literal;
// anything else is refused and changes nothing.
TMaskTyping TypeMaskChar(const TEditMask& Mask, std::u32string Text, int Caret, char32_t C);
// Writes Typed into the editable positions from Start on: each character
// checked (a refused one becomes the blank), literals skipped. The caret
// stands after the last one written.
TMaskTyping PasteMaskText(const TEditMask& Mask, std::u32string Text, int Start, std::u32string_view Typed);
