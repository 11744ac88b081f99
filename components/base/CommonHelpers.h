#pragma once
// Helpers that the family's forms and controls share: form look-ups by
// owner, parent and name, the frontmost-form test, making forms, dialog fonts
// and buttons, stored forms and the modules of the resource store, design
// state, menu tidying, flat buttons, method-type checks and the environment's
// option pages.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/base/zrbaselib.h"
#include "platform/classes/Component.h"
#include "platform/classes/TypInfo.h"
#include "platform/core/StringList.h"

class TButton;
class TControl;
class TForm;
class TMenuItem;
class TSpeedButton;

// Dialogs take the main form's font (ApplyMainFormFont). On.
inline bool UseMainFormFont = true;
// Dialogs show their Help button (SetupDialogButtons). Off.
inline bool ShowHelpButtons = false;

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

// Form has a visible window and, walking the screen's forms front to back
// and passing over those without a visible window, is reached before any
// other form that is not the main form and does not refuse the front-form
// query (FormAcceptsFrontQuery). False for nullptr.
bool IsFrontmostForm(TForm* Form);
// A new form of Class, owned by nobody: a class that is not a form class
// (or cannot be made) gives a plain TForm; a class with a stored form of its
// own (HasFormResource) is made through its class factory, reading its
// stored forms; any other as with CreateNew, reading none.
TForm* CreateFormInstance(TClass Class);
// With UseMainFormFont, a Form with ParentFont takes the main form's font
// when the application has a main form.
void ApplyMainFormFont(TForm* Form);
// Captions "OK", "Cancel" and "&Help" from the class library's texts; Help is
// visible only with ShowHelpButtons. Without it OK moves to where Cancel was
// and Cancel to where Help was. A nullptr button is passed over; the moves
// need all three.
void SetupDialogButtons(TButton* OK, TButton* Cancel, TButton* Help);

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

// ---- Environment option pages ----

// The option-form classes, keyed by class and kept in the order they were
// added (the order the options dialog shows its pages in).
class TOptionFormClassList : public TSortedKeyList {
  KESTOVA_CLASS(TOptionFormClassList)
 public:
  TOptionFormClassList();
};

// The process's option-form classes.
TOptionFormClassList& OptionFormClassList();
// The class at Index of OptionFormClassList.
TClass GetOptionFormClass(int Index);
// The process's option pages: each caption with its option-form class as
// the line's object.
TStringList& OptionPageList();
// Adds a page: its caption and class to OptionPageList, its class to
// OptionFormClassList (once).
void AddOptionPage(const std::string& Caption, TClass FormClass);
// The caption of FormClass's page; "" when it has none.
std::string GetOptionPageCaption(TClass FormClass);
