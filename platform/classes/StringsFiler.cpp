// How an object's defined properties are asked for, and the lines of a
// TStrings as its defined property "Strings".
#include <string>
#include <vector>

#include "platform/classes/Filer_p.h"
#include "platform/classes/Writer.h"
#include "platform/core/StringList.h"

namespace {

// Against an ancestor list only different lines are written; against
// anything else, or none, a list that has lines.
bool HasLinesToWrite(const TStrings& Strings, const TPersistent* Ancestor) {
  if (!Ancestor) return !Strings.Empty();
  const auto* ancestor = dynamic_cast<const TStrings*>(Ancestor);
  return !ancestor || !Strings.Equals(*ancestor);
}

// The whole list is read before the object is touched, so that a damaged
// list leaves the lines as they were and tells no change.
void ReadLines(TReader& Reader, TStrings& Strings) {
  std::vector<std::string> lines;
  Reader.ReadListBegin();
  while (!Reader.EndOfList()) lines.push_back(Reader.ReadString());
  Reader.ReadListEnd();
  Strings.BeginUpdate();
  try {
    Strings.Clear();
    for (const std::string& line : lines) Strings.Add(line);
  } catch (...) {
    Strings.EndUpdate();
    throw;
  }
  Strings.EndUpdate();
}

void WriteLines(TWriter& Writer, const TStrings& Strings) {
  Writer.WriteListBegin();
  for (int i = 0; i < Strings.Count(); ++i) Writer.WriteString(Strings[i]);
  Writer.WriteListEnd();
}

}  // namespace

namespace filer {

void DefineProperties(TPersistent* Instance, TFiler* Filer) {
  if (auto* strings = dynamic_cast<TStrings*>(Instance)) {
    Filer->DefineProperty(
        kStringsPropertyName, [strings](TReader& Reader) { ReadLines(Reader, *strings); },
        [strings](TWriter& Writer) { WriteLines(Writer, *strings); }, HasLinesToWrite(*strings, Filer->Ancestor()));
  }
  Instance->DefineProperties(Filer);
}

}  // namespace filer
