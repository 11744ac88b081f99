#pragma once
// The folder-browse component (TZRPathDialog), the one-call computer chooser,
// trailing-separator helpers, and the look-ups of where the family's
// development environments are installed, with the path macros built on
// them.
//
// Paths use "/": the helpers add and remove "/" because their results are
// file paths. A path that is only "/" is the root and keeps its separator.
//
// The install look-ups read the local-machine root of the registry, which is
// read-only and empty here: every environment answers as not installed.

#include <array>
#include <cstdint>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/TypInfo.h"
#include "platform/core/Set.h"

// The folder at the top of the browser's tree, in the family's order.
enum TZRPathDialogRoot : std::uint8_t {
  pdrNone,
  pdrBitBucket,
  pdrControls,
  pdrDesktop,
  pdrDesktopDirectory,
  pdrDrives,
  pdrFonts,
  pdrNetHood,
  pdrNetwork,
  pdrPersonal,
  pdrPrinters,
  pdrPrograms,
  pdrRecent,
  pdrSendto,
  pdrStartmenu,
  pdrStartup,
  pdrTemplates,
};

enum TZRPathDialogFlag : std::uint8_t {
  pdfBrowseForComputer,
  pdfBrowseForPrinter,
  pdfDontGoBelowDomain,
  pdfReturnfsAncestors,
  pdfReturnOnlyFSDirs,
};
using TZRPathDialogFlags = TSet<TZRPathDialogFlag>;

namespace TypeInfos {
const TTypeInfo* TZRPathDialogRoot();
const TTypeInfo* TZRPathDialogFlag();
const TTypeInfo* TZRPathDialogFlags();
}  // namespace TypeInfos

// The browse-flag bit of each flag: 0x1000, 0x2000, 0x0002, 0x0008, 0x0001.
std::uint32_t PathDialogFlagBit(TZRPathDialogFlag Flag);
// The sum of the bits of the flags in Flags.
std::uint32_t PathDialogBrowseFlags(TZRPathDialogFlags Flags);

// The Linux folder of a root:
// - pdrNone, pdrDesktop and pdrDrives: "/", the whole file system;
// - pdrDesktopDirectory, pdrPersonal, pdrFonts, pdrPrograms, pdrTemplates:
//   the user's desktop, documents, fonts, applications and templates folders
//   (QStandardPaths);
// - every other root (recycle bin, control panel, printers, network, network
//   shortcuts, recent documents, send-to, start menu, start-up) has no Linux
//   folder: the home folder. So does a standard folder Qt cannot name.
std::string PathDialogRootFolder(TZRPathDialogRoot Root);

// A folder browser as a component. The browse itself is the dialog service's
// folder browse (DialogService.h), which lists folders only, whatever the
// flags say; every Linux folder is a file-system folder.
//
// Published: Title, SelectedItem, Root (default pdrNone) and Flags (default
// [pdfReturnOnlyFSDirs]).
class TZRPathDialog : public TComponent {
  KESTOVA_CLASS(TZRPathDialog)
 public:
  explicit TZRPathDialog(TComponent* AOwner);

  // The caption of the browser.
  std::string Title;
  // The browser window while it is open. There is no such window to expose
  // here, so it stays 0.
  std::uintptr_t Handle = 0;
  // The owner window of the browser; 0 after construction.
  std::uintptr_t ParentWindow = 0;
  TZRPathDialogRoot Root = pdrNone;
  // Stored and handed to the browse as bits; the printer and domain flags
  // have no effect.
  TZRPathDialogFlags Flags{pdfReturnOnlyFSDirs};

  const std::string& SelectedItem() const { return selectedItem_; }
  // "" stores the current directory; any other value is stored without one
  // trailing "/" ("/a/b/" gives "/a/b"), except "/" itself, which is kept.
  void SetSelectedItem(const std::string& Value);

  // Shows the browser modally, captioned Title, with PathDialogRootFolder(Root)
  // at the top. It opens at SelectedItem (as SetSelectedItem would store it)
  // when that lies below the root folder, else at the root folder. A
  // confirmed choice is stored in SelectedItem exactly as the browser
  // returned it, and the answer is true; on Cancel nothing changes and the
  // answer is false.
  bool Execute();

 private:
  std::string selectedItem_;
};

// A computer chooser. There is no computer browsing here: it answers false,
// as a cancelled browser does, and leaves ComputerName as it was.
bool BrowseForComputer(const std::string& Title, std::string& ComputerName, std::uintptr_t OwnerWindow);

// A non-empty path not ending in "/" gets one; "" stays "".
std::string IncludeTrailingBackslash(const std::string& Path);
// A path ending in "/" loses that one character, except "/" itself.
std::string ExcludeTrailingBackslash(const std::string& Path);

// ---- Installed development environments ----

inline constexpr int kEnvKindCount = 9;
// The registry key of each environment kind (0..8), below kEnvRegistryBase
// under HKEY_LOCAL_MACHINE.
inline constexpr const char* kEnvRegistryBase = "Software\\Borland\\";
inline constexpr std::array<const char*, kEnvKindCount> kEnvKindKeys = {
    "Delphi\\2.0",     "C++Builder\\1.0", "Delphi\\3.0",     "C++Builder\\3.0", "Delphi\\4.0",
    "C++Builder\\4.0", "Delphi\\5.0",     "C++Builder\\5.0", "Delphi\\6.0",
};

// The string value Name of the kind's key; "" when the key is absent or
// the kind is outside 0..8. A value of another type raises
// ERegistryException.
std::string ReadEnvRegString(int Kind, const std::string& Name);
// IncludeTrailingBackslash(ReadEnvRegString(Kind, "RootDir")).
std::string GetEnvRootDir(int Kind);
// GetEnvRootDir(Kind) followed by "HELP/"; "HELP/" alone when not installed.
std::string GetEnvHelpDir(int Kind);

// ---- Path macros ----

struct TZRPathMacro {
  const char* Name;
  std::string (*Expansion)();
};
// "%SYSTEM%", "%WINDOWS%" and "%PROGRAMFILES%" (the Windows system, Windows
// and program-files folders, which Linux does not have: each expands to ""),
// then "%C1_HELP%", "%C3_HELP%", "%D2_HELP%", "%D3_HELP%", "%D4_HELP%"
// (GetEnvHelpDir of kinds 1, 3, 0, 2 and 4).
extern const std::array<TZRPathMacro, 8> kPathMacros;
