#pragma once
// Whole objects, components or not, in the component stream (binary or
// text form). A component is the root of its stream. Any other persistent
// travels in a TPersHolder named "PersHolder", streamed as the root, with the
// object's published properties as the sub-properties of P; the stream then
// names "TPersHolder", and reads back into any object of the object's class.
//
// Reader, writer and file errors go through (EReadError, EWriteError,
// EFOpenError, ...); the temporary holder and memory stream are freed and the
// global-loading bracket is closed whatever happens.

#include <string>

#include "platform/core/Object.h"
#include "platform/core/Streams.h"

void WriteObjectBinary(TStream& Stream, TPersistent* Object);
// Inside a global-loading bracket: a component is read in place, and then
// the components the read loaded are told Loaded; another object is read
// through a holder whose P is the object, without that notification.
void ReadObjectBinary(TStream& Stream, TPersistent* Object);

// The binary form converted to text, and back for reading.
void WriteObjectText(TStream& Stream, TPersistent* Object);
void ReadObjectText(TStream& Stream, TPersistent* Object);

// Creates or truncates FileName and writes the text form into it.
void SaveObjectToFile(TPersistent* Object, const std::string& FileName);
// Opens FileName for reading while denying others write access (open mode
// 0x0020, an advisory lock here) and reads the text form from it.
void LoadObjectFromFile(TPersistent* Object, const std::string& FileName);
