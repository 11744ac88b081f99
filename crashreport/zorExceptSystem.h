#pragma once
// The reporter's use of the per-user registry store and of the clipboard.
#include <cstdint>
#include <string>

class Clipboard;

namespace zor {

// A value of the registry store as text: a string value up to its first NUL
// byte, any other value its bytes as they are (a DWORD gives its four bytes);
// empty when the key or value is missing or cannot be read. The machine-wide
// roots read empty.
std::string RegistryReadText(uintptr_t rootKey, const std::string& path, const std::string& valueName);
// Creates the key when missing and writes a string value; false on failure.
bool RegistryWriteText(uintptr_t rootKey, const std::string& path, const std::string& valueName,
                       const std::string& text);
bool RegistryDeleteValue(uintptr_t rootKey, const std::string& path, const std::string& valueName);

// Puts the text on the clipboard, on the GUI thread (a call from another
// thread waits for it); false without a GUI application.
bool CopyTextToClipboard(const std::string& text);
// Tests put a double in place of the system clipboard (nullptr: the system
// one again); returns the previous double.
Clipboard* SetReporterClipboard(Clipboard* clipboard);

}  // namespace zor
