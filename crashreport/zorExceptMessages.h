#pragma once
// The reporter's own messages (an invalid settings resource, a store that
// cannot be made): each goes to one sink, with the caption "zorExcept".
//
// The default sink shows a message box with an OK button and no owner window
// when a QApplication exists and the caller runs on its thread; otherwise
// (no application, another thread, or inside a failing process before the
// GUI is up) it writes "zorExcept: <text>" and a line break to standard
// error. Tests install a sink of their own to record the messages.

#include <functional>
#include <string_view>

namespace zor {

inline constexpr char kReporterCaption[] = "zorExcept";
inline constexpr char kOpeningSettingsBufferText[] = "internal error (opening settings buffer)";

using ReporterMessageSink = std::function<void(std::string_view caption, std::string_view text)>;

// Installs `sink` (an empty one restores the default) and returns the one it
// replaces (empty when that was the default).
ReporterMessageSink SetReporterMessageSink(ReporterMessageSink sink);
// Sends the text with the reporter's caption. Never throws.
void ShowReporterMessage(std::string_view text);
// The same with a caption of the caller's.
void ShowReporterMessage(std::string_view caption, std::string_view text);
// The default sink.
void DefaultReporterMessage(std::string_view caption, std::string_view text);

}  // namespace zor
