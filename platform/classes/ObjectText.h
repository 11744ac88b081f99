#pragma once
// The text form of a component stream, for reading and editing by people:
//
//   object Form1: TForm1
//     Caption = 'Caf'#233
//     Count = 3
//     Options = [foBold, foFramed]
//     OnClick = Form1Click
//     Part.Width = 12
//     Ratio = 1.5
//     Data = {0102FF}
//     Items = <
//       item
//         Name = 'a'
//       end>
//     object Button1: TButton
//     end
//   end
//
// "inherited" or "inline" replace "object" for such components, and
// "[n]" after the class gives the child position. Values: integers in
// decimal; extended floats with a point or exponent; suffixes s (single),
// c (currency), d (date); strings quoted with '' for a quote and #n for a
// control or non-ASCII character (by code point); identifiers bare; nil; Null;
// lists in ( ); sets in [ ]; binary in { } as hex; collections in < >.
//
// Converting the bytes our writer makes to text and back gives the same
// bytes. Both directions are bounded like the reader (Filer.h) and raise
// EReadError on malformed input ("Stream read error" for a short binary).

#include "platform/core/Streams.h"

// Binary (from Input's position) to text (at Output's position), UTF-8.
void ObjectBinaryToText(TStream& Input, TStream& Output);
// Text to binary. A syntax error raises EParserError-like EReadError with
// the line: "Line 3: ...".
void ObjectTextToBinary(TStream& Input, TStream& Output);
