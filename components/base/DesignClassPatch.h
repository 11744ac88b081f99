#pragma once
// The design-time class patch: while a designer edits a form, the form's
// event properties name handlers that exist only as source text. For the
// time of the design the form's class gets a generated published-method
// table in which each such handler name is an entry without code carrying a
// handler number (MethodEntry.h: calling it raises, comparing compares the
// numbers), and a class name made from the form's name ("T" + Name), so that
// streams read and write the form as the designer sees it.
//
// The class record's name and method table are plain fields (Object.h), so
// the patch saves, assigns and restores them. The generated table lists the
// handler names first, in the order they got their numbers, then the class's
// own entries (its ancestors keep theirs); its count is the number of
// handler names plus that of the class's own entries.
//
// A form's class is one record shared by every object of the class: while
// patched, ClassName of each of them answers the new name.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/classes/MethodTable.h"
#include "platform/core/MethodEntry.h"

class TComponent;
class TReader;

// Class names are cut to this many bytes.
inline constexpr std::size_t kMaxDesignClassName = 255;

struct TDesignClassPatch {
  // What is patched, for UnpatchDesignClass; nullptr while not patched.
  TClass PatchedClass = nullptr;
  std::string SavedClassName;
  std::shared_ptr<const TMethodTable> SavedMethods;  // nullptr: the class had none
  std::shared_ptr<const TMethodTable> GeneratedMethods;
  // Handler names with their numbers, in the order the numbers were given.
  std::vector<std::pair<std::string, std::int32_t>> HandlerNames;
  // The number the next new handler name gets; its start is the owner's.
  std::int32_t NextNumber = 1;

  // The number of Name (compared ignoring case); an unknown name is added
  // with NextNumber, which then grows by one.
  std::int32_t MethodIndexOf(std::string_view Name);
  // The handler name holding Number; empty when none does.
  std::string NameOfMethodIndex(std::int32_t Number) const;
  // The component reader's method look-up hook (TReader::OnFindMethod): a
  // handler the reader did not find becomes a method without code of the
  // reader's root, numbered MethodIndexOf(MethodName), and the error is
  // cleared. A method the reader found is left alone.
  void FindMethodHandler(TReader* Reader, const std::string& MethodName, TMethod& Method, bool& Error);
};

// Nothing for nullptr Patch or Form. Saves the class's method table; with
// handler names, builds the generated table and, unless KeepMethodTable,
// puts it in the class's place. Then renames the class "T" + Form's name,
// cut to kMaxDesignClassName. A patch already in force is undone first.
void PatchDesignClass(TDesignClassPatch* Patch, TComponent* Form, bool KeepMethodTable);

// Nothing for nullptr Patch or Form, or while nothing is patched. Puts back
// the saved name and method table and frees the generated table.
void UnpatchDesignClass(TDesignClassPatch* Patch, TComponent* Form);
