#pragma once
// Helpers that the family's forms and controls share: form look-ups by
// owner, parent and name, stored forms and the modules of the resource
// store, design state, menu tidying, flat buttons and method-type checks.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/TypInfo.h"

class TControl;
class TForm;
class TMenuItem;
class TSpeedButton;

// For a control its parent form when it has one; else the first form in the
// owner chain, Obj included; nullptr when there is none.
TForm* FindOwnerForm(TComponent* Obj);
// The form up Control's parent chain (Control included), or nullptr.
TForm* FindParentForm(TControl* Control);
// The first data module in the owner chain, else FindOwnerForm.
TComponent* FindRootOwner(TComponent* Obj);
// "Form1" is the form of that name; "Form1.Button1" is Button1 owned by
// Form1 (nullptr when it has none). Forms are looked at in the screen's
// order, then data modules; names compare without case.
TComponent* FindComponentByPath(std::string_view Name);

// The resource store holds an RCDATA resource named like the class.
bool HasFormResource(TClass Class);
// The resource store's modules, in its order.
std::vector<std::string> GetModuleList();
// The first module holding a resource of that type and name; "" when none.
std::string FindResourceModule(std::string_view Name, std::string_view Type);

// Sets the design state of Control and of every control below it.
void SetDesigningDeep(TControl* Control, bool Value);

// Removes separators (caption "-") at the start and the end of Item's
// sub-menu, and the first of two adjacent ones, scanning from the end.
void TidySeparators(TMenuItem* Item);
// Frees every sub-item; Enabled becomes !Disable. Nothing for nullptr.
void ClearSubMenu(TMenuItem* Item, bool Disable);

void SetButtonsFlat(std::span<TSpeedButton* const> Buttons, bool Value);

// Both are method types of the same kind and parameter count whose
// parameters have the same flags and type names (case ignored); parameter
// names are not compared.
bool MethodTypesMatch(const TTypeData& A, const TTypeData& B);
