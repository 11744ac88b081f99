#pragma once
// File-name pieces as the class library splits them. The path delimiter is
// "/"; the extension is what follows the last "." of the last path element,
// the dot included.

#include <string>
#include <string_view>

// "/a/b/c.txt" gives "/a/b/" (up to and including the last "/"; "" without one).
std::string ExtractFilePath(std::string_view FileName);
// "/a/b/c.txt" gives "c.txt".
std::string ExtractFileName(std::string_view FileName);
// "/a/b/c.txt" gives ".txt"; "" when the last element has no dot.
std::string ExtractFileExt(std::string_view FileName);
// The name with its extension replaced by Extension (which carries its dot,
// or is "" to drop it).
std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
// The absolute form of FileName against the process's current directory,
// with "." and ".." elements resolved textually (links are not followed).
std::string ExpandFileName(std::string_view FileName);
