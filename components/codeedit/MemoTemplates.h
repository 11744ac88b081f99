#pragma once
// Code templates: short named snippets a store offers for insertion at the
// caret. A template's code marks with "|" where the caret goes afterwards.
//
// Template kinds are entries of the parameter registry for the class
// TMemoCodeTemplates with the parameters "CodeTemplates.Lang" (the kind's
// name) and "CodeTemplates.Proc" (the fill procedure, or none). A kind with
// a procedure replaces a store's templates with its built-in ones.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "components/base/NamedItems.h"
#include "platform/core/StringList.h"

class TObjectParamListItem;

// Published: Name (from the base), Description and Code.
class TMemoCodeTemplate : public TZRNamedItem {
  KESTOVA_CLASS(TMemoCodeTemplate)
 public:
  explicit TMemoCodeTemplate(TCollection* Collection);
  ~TMemoCodeTemplate() override;

  std::string Description;
  // The code's lines, owned by the template; setting assigns into them.
  TStrings* Code() const { return code_.get(); }
  void SetCode(const TStrings* Value);

 private:
  std::unique_ptr<TStringList> code_;
};

class TMemoCodeTemplates : public TZRNamedItems {
  KESTOVA_CLASS(TMemoCodeTemplates)
 public:
  // Items are TMemoCodeTemplate unless the class registry asks for another.
  explicit TMemoCodeTemplates(TPersistent* AOwner, TClass ItemClass = nullptr);

  TMemoCodeTemplate* Template(int Index) const { return static_cast<TMemoCodeTemplate*>(Items(Index)); }
  // Appends a template; Code is split at CR, LF or CR LF.
  TMemoCodeTemplate* AddTemplate(const std::string& Name, const std::string& Description, const std::string& Code);
};

// A built-in template; Code's lines are separated by CR LF.
struct TTemplateRec {
  const char* Name;
  const char* Description;
  const char* Code;
};

// The built-in tables, in their order.
std::span<const TTemplateRec> DelphiTemplates();
std::span<const TTemplateRec> CppBuilderTemplates();
std::span<const TTemplateRec> ClipperTemplates();

using TFillTemplatesProc = void(TMemoCodeTemplates* Templates);
// Clears Templates and adds one template per record, in order.
void FillTemplates(TMemoCodeTemplates* Templates, std::span<const TTemplateRec> Records);

// Adds the registry entry of a kind; Proc may be nullptr.
TObjectParamListItem* RegisterTemplateKind(const std::string& Name, TFillTemplatesProc* Proc);
// The entry of the kind named exactly Name, or nullptr.
TObjectParamListItem* FindTemplateKind(const std::string& Name);
// "None", "Custom", "Delphi", "C++ Builder" and "Clipper", in this order;
// the start-up of the store's module calls it. UnregisterTemplateKinds
// frees these entries again.
void RegisterTemplateKinds();
void UnregisterTemplateKinds();

// Fills List with the templates a prefix chooses, each line description +
// "|" + marker + name + marker (the family's EmphasisMarker) with the
// template's index as its object. An empty prefix, or one no name starts
// with, lists every template; otherwise those whose names start with it
// (without case), or only the first of them when its name equals the
// prefix: the answer is then 0, else -1.
int FillTemplateList(const TMemoCodeTemplates* Templates, TStrings* List, const std::string& Prefix);
