#pragma once
// The component stream: what reader and writer share.
//
// A stream starts with the signature "TPF0" and holds one root component:
//   [prefix] class name, component name   two short strings (length byte, bytes)
//   properties                            name (short string) and value, up to a 0 byte
//   child components                      each like the root, up to a 0 byte
// The prefix, present only for inherited, inline or positioned components,
// is a byte 0xF0 | flags, followed by the child position (an integer value)
// when ffChildPos is set.
//
// A value is a type byte (TValueType) and its data, little-endian:
//   vaNull 0       end of a list
//   vaList 1       values up to vaNull
//   vaInt8/16/32   2, 3, 4: signed integers of 1, 2, 4 bytes
//   vaExtended 5   80-bit extended float (10 bytes)
//   vaString 6     length byte, bytes (ASCII)
//   vaIdent 7      length byte, bytes: an identifier (enumeration, method or
//                  component name path)
//   vaFalse 8, vaTrue 9
//   vaBinary 10    int32 length, bytes (a defined binary property)
//   vaSet 11       element names as short strings, up to an empty one
//   vaLString 12   int32 length, bytes (ASCII longer than 255)
//   vaNil 13       no object, no method
//   vaCollection 14  items, each a list of properties, up to vaNull
//   vaSingle 15    4-byte float
//   vaCurrency 16  int64 amount in ten-thousandths
//   vaDate 17      8-byte float
//   vaWString 18   int32 count of UTF-16 units, the units (any non-ASCII text)
//   vaInt64 19     8-byte signed integer (values outside int32)
// Strings are UTF-8 in memory; text with a byte above 127 travels as
// vaWString.
//
// A Variant property travels as the value code of its kind: Empty as vaNil,
// Null as vaNull, the integer kinds as the smallest integer code, Single as
// vaSingle, Double as vaExtended, Currency, Date and Boolean as their codes,
// the string kinds like any string. The reader gives back Empty, Null,
// Integer (Int64 for vaInt64), Double, Single, Currency, Date, Boolean,
// String (vaString, vaLString) or OleStr (vaWString): Smallint and Byte come
// back as Integer, since every integer is written in its smallest code and
// the text form has one way to write an integer. The pointer kinds
// (procedure, class, object) cannot travel: writing one raises EWriteError
// with kVariantNotStreamableText.
//
// A TStrings (platform/core/StringList.h) carries its lines as the defined
// property "Strings": a list of strings up to vaNull, so that property Lines
// of a component appears as "Lines.Strings". It is written while the list
// has lines, or, against an ancestor, while the lines differ from the
// ancestor's (an emptied list then writes an empty list). Reading reads the
// whole list first, then replaces the lines (Clear, then Add each) inside
// one BeginUpdate/EndUpdate bracket; a damaged list raises EReadError and
// leaves the lines untouched.
//
// Everything read is bounded: lengths and counts by kMaxFilerLength and by
// the bytes left in the stream, nesting (children, sub-objects, lists) by
// kMaxFilerDepth. A short or malformed stream raises EReadError.

#include <cstdint>
#include <string>

#include "platform/core/Events.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Object.h"
#include "platform/core/Set.h"
#include "platform/core/Streams.h"

class TComponent;
class TReader;
class TWriter;

enum TValueType : std::uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
};
inline constexpr std::uint8_t kMaxValueType = vaInt64;

enum TFilerFlag : std::uint8_t { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag>;

inline constexpr char kFilerSignature[] = "TPF0";
inline constexpr std::int64_t kMaxFilerLength = 64 * 1024 * 1024;
inline constexpr int kMaxFilerDepth = 64;
// The defined property that holds the lines of a TStrings.
inline constexpr const char* kStringsPropertyName = "Strings";

// Texts of the filer errors.
inline constexpr const char* kInvalidImageText = "Invalid stream format";
inline constexpr const char* kPropertyDoesNotExistText = "Property %s does not exist";
inline constexpr const char* kUnknownPropertyTypeText = "Unknown property type: %s";
inline constexpr const char* kInvalidBinaryText = "Invalid binary value";
inline constexpr const char* kUnresolvedReferenceText = "Unresolved reference to %s";
inline constexpr const char* kMethodNotFoundText = "Method %s not found";
inline constexpr const char* kTooDeepText = "Stream nested too deeply";
// "%s": the variant's type code as four hexadecimal digits.
inline constexpr const char* kVariantNotStreamableText = "Variant of type $%s cannot be written to a stream";

using TReaderProc = TMethodPointer<void(TReader& Reader)>;
using TWriterProc = TMethodPointer<void(TWriter& Writer)>;
using TStreamProc = TMethodPointer<void(TStream& Stream)>;

// Base of reader and writer.
class TFiler : public TObject {
  KESTOVA_CLASS(TFiler)
 public:
  explicit TFiler(TStream& AStream) : stream_(AStream) {}
  TStream& Stream() const { return stream_; }
  // The component being read or written as a whole (names in references are
  // relative to it).
  TComponent* Root() const { return root_; }
  virtual void SetRoot(TComponent* Value) { root_ = Value; }
  TComponent* LookupRoot() const { return lookupRoot_; }
  // Writing: the object whose values are not repeated (nullptr: defaults).
  // Reading: unused.
  TPersistent* Ancestor() const { return ancestor_; }
  void SetAncestor(TPersistent* Value) { ancestor_ = Value; }
  bool IgnoreChildren = false;

  // A value that is not a published property, named Name. The reader calls
  // ReadData when the stream has it; the writer calls WriteData when
  // HasData.
  virtual void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) = 0;
  // The same with raw bytes (vaBinary).
  virtual void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                                    bool HasData) = 0;

 protected:
  TComponent* lookupRoot_ = nullptr;

 private:
  TStream& stream_;
  TComponent* root_ = nullptr;
  TPersistent* ancestor_ = nullptr;
};

// Finding components of other roots by name, for references such as
// "Form2.Button1". Procedures are asked newest first; the first non-null
// answer wins.
using TFindGlobalComponent = TComponent* (*)(const std::string& Name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc);
TComponent* FindGlobalComponent(const std::string& Name);

// Global loading: inside BeginGlobalLoading/EndGlobalLoading, components read
// are collected instead of told Loaded at once; NotifyGlobalLoading tells
// each collected component Loaded (once) and empties the list. Brackets
// nest; EndGlobalLoading of the outermost one forgets what was not notified.
void BeginGlobalLoading();
void NotifyGlobalLoading();
void EndGlobalLoading();

// References to components of roots not yet known when they were read wait
// in a process-wide list; this resolves those whose root can now be found
// (FindGlobalComponent) and drops those whose referring object is gone
// (RemoveFixupReferences, called by the reader's owner when freeing a root).
void GlobalFixupReferences();
void RemoveFixupReferences(TComponent* Root, const std::string& RootName = {});
// Number of references still waiting; for tests and diagnostics.
int PendingGlobalFixups();
