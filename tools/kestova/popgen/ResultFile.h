#pragma once
// Writing the result file without ever harming what the path held before.
//
// The text goes to a new file beside the target (same folder, so that the
// final rename cannot cross file systems), is flushed to disk and only then
// renamed over the target. A failure at any step removes that new file and
// nothing else: an existing target keeps its contents. The replacing file
// takes the mode of the file it replaces (else 0666 less the umask). Where
// the target is a symbolic link, the file it points to is replaced.
//
// Refused, with the target untouched:
//   - a folder:                      ...: it is a folder.
//   - an existing file that cannot be opened for writing, or that has no
//     write permission at all (so that a read-only file is safe from root
//     too):                          ...: Permission denied.
// A target that exists but is not a regular file (a device, a pipe) cannot
// be replaced; the text is written straight into it.
//
// Every message reads "Cannot write the result file \"<path>\": <reason>.".

#include <string>

namespace popgen {

// Throws PopGenError.
void WriteResultFile(const std::string& path, const std::string& text);

}  // namespace popgen
