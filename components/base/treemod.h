#pragma once
// The order editor: a small modal dialog that lists names in a source-bound
// tree view over a string source and lets the user put them in a new order,
// by dragging a name onto another or with the up and down buttons. The
// view is read-only: Del, Ins and F2 change nothing, and a double click
// does not close the dialog (the string source does not accept it); OK
// does, through its ModalResult.
//
// TStrEditForm is read from its stored form, the RCDATA "TSTREDITFORM" of
// the module "zrbase"; its Help button shows only with ShowHelpButtons.
//
// EditCreationOrder reorders the non-visual components of a form or data
// module (those with a palette icon), EditTabOrder the window children of
// a control. OK renumbers them in list order and tells the form's designer;
// Cancel changes nothing. The list and the dialog are freed also when
// something fails while the dialog runs.

#include "platform/controls/Forms.h"

class TSpeedButton;
class TZRStringSource;
class TZRTreeView;

class TStrEditForm : public TForm {
  KESTOVA_CLASS(TStrEditForm)
 public:
  explicit TStrEditForm(TComponent* AOwner);
  void AfterConstruction() override;

  TZRTreeView* TreeView() const;
  TZRStringSource* StringSource() const;
  void SetMultiSelect(bool Value);

  // The stored form's handlers.
  // The dialog's font, the buttons' captions, Help hidden.
  void FormCreate(TObject* Sender);
  // Closes with mrOk when the source accepts it for the selected name.
  void ZRTreeViewDblClick(TObject* Sender);
  void SpeedUpClick(TObject* Sender);
  void SpeedDownClick(TObject* Sender);
};

// The classes the stored form names, for the component stream, and the
// module that holds the form (start-up; again is harmless).
void StartOrderEditor();

// Nothing for nullptr.
void EditCreationOrder(TComponent* Component);
void EditTabOrder(TWinControl* Control);
