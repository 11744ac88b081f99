#pragma once
// Published-method tables: the handlers a class offers by name.
//
// A class lists its published methods in its describing function
// (TClassPublisher::Method in TypInfoPublish.h); the table hangs on the class
// record (TClassInfo::Methods). Look-ups walk the class and its ancestors,
// newest first, and compare names without regard to case. A designer may put
// a generated table (with design-time entries, MethodEntry.h) in the class's
// place for the time of a design: save TClassInfo::Methods, assign, restore.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Events.h"
#include "platform/core/MethodEntry.h"
#include "platform/core/Object.h"

struct TMethodTable {
  std::vector<std::shared_ptr<const TMethodEntry>> Entries;
};

// The entry for Method, a member function of a class deriving from TObject,
// published as Name. A method pointer made from it equals
// TMethodPointer<signature of Method>::Of<Method>(object) on the same object.
template <auto Method>
std::shared_ptr<const TMethodEntry> MakeMethodEntry(std::string Name) {
  using Traits = detail::MemberFunction<decltype(Method)>;
  using C = typename Traits::Class;
  auto entry = std::make_shared<TMethodEntry>();
  entry->Name = std::move(Name);
  entry->Code =
      reinterpret_cast<TErasedCode>(TMethodPointer<typename Traits::Signature>::template MemberCode<C, Method>());
  entry->Signature = SignatureIdOf<typename Traits::Signature>();
  entry->DataOf = [](TObject* Instance) -> void* { return static_cast<C*>(Instance); };
  return entry;
}

// The entry named Name in the table of Class or of its nearest ancestor that
// has one; nullptr when none does (or for nullptr).
std::shared_ptr<const TMethodEntry> FindMethodEntry(TClass Class, std::string_view Name);

// The published method Name of Instance's class, bound to Instance; an
// unassigned TMethod when there is none.
TMethod MethodAddress(TObject* Instance, std::string_view Name);

// The name Method is published under: its entry's name when it has one, else
// the name of the entry of Class (or an ancestor) with the same code; empty
// when none.
std::string MethodName(TClass Class, const TMethod& Method);
