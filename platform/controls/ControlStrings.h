#pragma once
// The class library's own localisable texts: the resource-string table of
// the module "Controls" (ResourceStore::LoadString), built into the program
// from res/strings.txt. A translation replaces that table; code asks by id.

#include <string>

inline constexpr const char* kControlsStringModule = "Controls";

// Ids in the table.
enum class ControlString : int {
  OkButton = 1,
  CancelButton = 2,
  YesButton = 3,
  NoButton = 4,
  AbortButton = 5,
  RetryButton = 6,
  IgnoreButton = 7,
  AllButton = 8,
  CloseButton = 9,
  HelpButton = 10,
  // Captions of the order editor's two uses.
  CreationOrderCaption = 11,
  TabOrderCaption = 12,
  // A masked edit left with a required position empty.
  MaskEditError = 65318,
};

// The text of Id, or "" when the table lacks it.
std::string LoadControlString(ControlString Id);
