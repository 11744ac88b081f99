#pragma once
// The start-up table entry of the controls library: one registration of the
// standard controls, forms and menus for the component stream, so that a
// stored form may name any of them.

#include "platform/core/Modules.h"

// Registers TButton, TCheckBox, TRadioButton, TRadioGroup, TGroupBox, TPanel,
// TEdit, TMemo, TComboBox, TPageControl, TTabSheet, TTabControl,
// TProgressBar, TSpeedButton, TLabel, TImage, TBevel, TMainMenu, TPopupMenu,
// TMenuItem, TTimer, TForm and TDataModule (with their ancestors). A class
// registered before stays as it is.
void RegisterControlClasses();

// Adds "Controls" (start-up: RegisterControlClasses) to Table.
void AddControlsModules(ModuleTable& Table);
