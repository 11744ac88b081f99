#pragma once
// Small services the reporter's parts share: texts of exception objects,
// class names from the C++ runtime's type information, the check that a
// pointer is an object, times, file-name pieces and the computer name.
//
// An "object" here is the address of a polymorphic C++ object (its first
// word points to a virtual table). Every read of it goes through SafeRead,
// so a stray pointer gives false or "Unknown", never a fault.
#include <cstdint>
#include <string>
#include <string_view>

namespace zor {

// The text up to its last character that is not ".", "!" or NUL, then ".".
std::string SentenceEnd(std::string_view text);

// True when `object` looks like a polymorphic object: its first word points
// into a module's read-only data, and the type information before that
// virtual table has a readable, well-formed name.
bool LooksLikeObject(const void* object);
// True when the object's dynamic class or one of its bases has exactly this
// unqualified name (case-sensitive); false for anything that is no object.
bool HasClassName(const void* object, std::string_view name);
// The unqualified name of the object's dynamic class; "Unknown" when there
// is no object.
std::string ExceptionClassName(const void* object);
// For a ZorException or an Exception of the program, its message, for any
// other object its class name; control characters other than CR and LF
// removed, trimmed; "Unknown" when that leaves nothing.
std::string ExceptionMessageText(const void* object);
// The unqualified form of a demangled C++ type name ("a::b::C<x::y>" gives
// "C<x::y>").
std::string UnqualifiedTypeName(std::string_view demangled);

// Resets the floating-point environment to the default.
void CallFpuInit();
// Whether a system lock blocks the process: the loader lock cannot be read
// here, so the answer is false.
bool ProcessIsBlocked(int retryMilliseconds);

// Milliseconds of the monotonic clock.
int64_t MonotonicMilliseconds();
// Seconds since 1 January 1601 UTC.
uint64_t CurrentSeconds();
// The host name; empty when the system gives none.
std::string ComputerNameText();

// Pieces of a "/"-separated path: the part after the last "/", the part up
// to and with it, and the path without the extension of its file name (from
// the last "." of that name on; unchanged when it has none).
std::string FileNamePart(std::string_view path);
std::string FilePathPart(std::string_view path);
std::string WithoutExtension(std::string_view path);

}  // namespace zor
