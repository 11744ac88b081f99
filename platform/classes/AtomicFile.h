#pragma once
// Writing a file so that a failure never leaves it cut short.

#include <string>
#include <string_view>

// Replaces the file with Bytes so that a reader sees either the old file or
// the new one, whole: the bytes go to a new file in the same folder, are
// flushed to disk and the new file is renamed over the old one. A symbolic
// link is followed, so the file it names is replaced. A new file gets
// NewFileMode (less the umask); a replaced one keeps its mode.
//
// Refused, with the old file as it was: an old file that cannot be opened for
// writing (a read-only file stays read-only, even where the folder is
// writable). On any failure the new file is removed and EInOutError
// "Cannot write file "<name>". <reason>" is raised.
void ReplaceFileAtomically(const std::string& FileName, std::string_view Bytes, unsigned NewFileMode);
