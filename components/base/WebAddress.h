#pragma once
// Whether a run of text names a web page or a mail box: the code editor marks
// such runs as links.
//
// Prefixes compare without regard to ASCII case. Letters and digits are the
// ASCII ones.

#include <string_view>

// True when Text starts with "MAILTO:"; otherwise true when it holds exactly
// one "@", that "@" lies before the last "." and is followed by a letter, a
// digit or "_". The "@" may be the first character ("@host.org").
bool IsMailAddress(std::string_view Text);
// True when Text starts with "WWW.", "HTTP://", "GOPHER://" or "FTP://".
bool IsWebAddress(std::string_view Text);
// IsWebAddress or IsMailAddress.
bool IsURL(std::string_view Text);
