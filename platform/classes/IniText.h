#pragma once
// TIniText: the lines of an INI file, kept as they are so that a change
// rewrites only the lines it touches: comments, blank lines, the order of
// sections and entries and each line's own line break survive.
//
// Reading: lines end at LF, CR LF or CR. A line is looked at without its
// leading and trailing blanks and control characters:
//   "[name]"      starts a section: everything between the first "[" and the
//                 last "]" (a name may hold "\" or "]": "[\Main_Grid\Band]");
//   ";..."        a comment; an empty line is blank;
//   "name=value"  an entry: the name before the first "=", the value after
//                 it, each without surrounding blanks;
//   anything else a raw line (a line of a section written whole, as a package
//                 list writes its lines).
// Lines before the first section belong to none. Section names and entry
// names compare without case; where a name repeats, the first one counts.
//
// Writing: a new line gets the file's first line break (LF in a file without
// one). Texts that would not read back as written raise EIniFileException:
// a line break anywhere; a name that would read as another one (with "=", or
// starting with "[" or ";"); a raw line that would read as a section, a
// comment or nothing.

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kIniInvalidSectionText = "Invalid section name in an INI file: '%s'";
inline constexpr const char* kIniInvalidIdentText = "Invalid key name in an INI file: '%s'";
inline constexpr const char* kIniInvalidValueText = "Invalid value for key '%s' in an INI file";
inline constexpr const char* kIniInvalidLineText = "Invalid line for section '%s' in an INI file";

class TIniText {
 public:
  explicit TIniText(std::string_view Text = {});

  // The text: unchanged lines byte for byte.
  std::string Text() const;

  // Section names in file order, each once (as first spelt).
  std::vector<std::string> SectionNames() const;
  bool SectionExists(std::string_view Section) const;
  // The value of the entry; false when the section or the entry is missing.
  bool Find(std::string_view Section, std::string_view Ident, std::string& Value) const;
  // Entry names of the section, in file order.
  std::vector<std::string> Idents(std::string_view Section) const;
  // The section's entries ("name=value") and raw lines, in file order.
  std::vector<std::string> SectionLines(std::string_view Section) const;

  // Changes the entry where it stands (its name keeps its spelling), or adds
  // it after the section's last line; a missing section is added at the end
  // of the file, after a blank line.
  void SetValue(std::string_view Section, std::string_view Ident, std::string_view Value);
  // Replaces the section's entries, raw lines and comments by Lines (blank
  // and empty lines left out); a missing section is added as above.
  void SetSectionLines(std::string_view Section, const std::vector<std::string>& Lines);
  // Removes every section of that name with its lines; false when none.
  bool EraseSection(std::string_view Section);
  // Removes the entry; false when it is missing.
  bool DeleteKey(std::string_view Section, std::string_view Ident);
  void Clear();

 private:
  enum class TKind { Blank, Comment, Header, Entry, Raw };
  struct TLine {
    std::string Text;   // without the line break
    std::string Break;  // "\n", "\r\n", "\r" or "" (the last line)
    TKind Kind = TKind::Blank;
    std::string Name;    // section name or entry name
    std::string Folded;  // Name folded for look-ups
    std::string Value;   // entry value
  };
  static TLine MakeLine(std::string Text, std::string Break);
  // [first, end) of the first section of that name's lines after its
  // header; first == npos when it is missing.
  std::pair<size_t, size_t> Body(std::string_view Folded) const;
  size_t FindEntry(std::pair<size_t, size_t> Body, std::string_view Folded) const;
  // Inserts at Index, closing the line before it when it has no break.
  void InsertLine(size_t Index, std::string Text);
  // Adds the section at the end; returns the index after its header.
  size_t AddSection(std::string_view Section);

  std::vector<TLine> lines_;
  std::string bom_;  // a UTF-8 byte-order mark the file starts with
  std::string break_ = "\n";
};
