#include "platform/controls/ControlsModules.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/EditCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/GroupCtrls.h"
#include "platform/controls/Image.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/Timer.h"

void RegisterControlClasses() {
  RegisterClasses({TButton::StaticClass(),      TCheckBox::StaticClass(),    TRadioButton::StaticClass(),
                   TRadioGroup::StaticClass(),  TGroupBox::StaticClass(),    TPanel::StaticClass(),
                   TEdit::StaticClass(),        TMemo::StaticClass(),        TComboBox::StaticClass(),
                   TPageControl::StaticClass(), TTabSheet::StaticClass(),    TTabControl::StaticClass(),
                   TProgressBar::StaticClass(), TSpeedButton::StaticClass(), TLabel::StaticClass(),
                   TImage::StaticClass(),       TBevel::StaticClass(),       TMainMenu::StaticClass(),
                   TPopupMenu::StaticClass(),   TMenuItem::StaticClass(),    TTimer::StaticClass(),
                   TForm::StaticClass(),        TDataModule::StaticClass()});
}

void AddControlsModules(ModuleTable& Table) { Table.Add("Controls", RegisterControlClasses); }
