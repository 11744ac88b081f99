#pragma once
// The form of the "verbs" page, read from its stored form (VerbsPage.form).

#include <memory>
#include <string>

#include "platform/controls/Forms.h"

class TVerbsPage : public TForm {
  KESTOVA_CLASS(TVerbsPage)
 public:
  explicit TVerbsPage(TComponent* AOwner);
  // A page that does not read its stored form.
  TVerbsPage(TComponent* AOwner, CreateNew);
  ~TVerbsPage() override;

  // The classes the stored form names, for the stream reader.
  static void RegisterStoredClasses();
  // The three verbs the form's controls are bound to.
  static void RegisterDemoVerbs();

  // Each bound control as "Name=VE" (menu items "Name=VEC"), in the order
  // of the bindings; upper case for visible, enabled, checked.
  std::string BoundStates() const;
  // Prints "click: <Sender's name>".
  void Clicked(TObject* Sender);
  // Prints the "state:" line on verb changes; made before the stored form
  // is read, so it hears each change after the dispatcher applied it.
  TObject* Reporter() const { return reporter_.get(); }

 private:
  std::unique_ptr<TObject> reporter_;
};
