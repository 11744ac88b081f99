#include "components/base/zrapi.h"

#include <QDir>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

#include "platform/classes/Registry.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/ui/DialogService.h"

KESTOVA_TYPE_INFO(TZRPathDialogRoot,
                  MakeEnumType("TZRPathDialogRoot",
                               {"pdrNone", "pdrBitBucket", "pdrControls", "pdrDesktop", "pdrDesktopDirectory",
                                "pdrDrives", "pdrFonts", "pdrNetHood", "pdrNetwork", "pdrPersonal", "pdrPrinters",
                                "pdrPrograms", "pdrRecent", "pdrSendto", "pdrStartmenu", "pdrStartup", "pdrTemplates"},
                               "zrapi"))
KESTOVA_TYPE_INFO(TZRPathDialogFlag,
                  MakeEnumType("TZRPathDialogFlag",
                               {"pdfBrowseForComputer", "pdfBrowseForPrinter", "pdfDontGoBelowDomain",
                                "pdfReturnfsAncestors", "pdfReturnOnlyFSDirs"},
                               "zrapi"))
KESTOVA_TYPE_INFO(TZRPathDialogFlags, MakeSetType("TZRPathDialogFlags", TypeInfos::TZRPathDialogFlag()))

namespace {

void DescribeTZRPathDialog(TClassInfo& Info) {
  using D = TZRPathDialog;
  TClassPublisher<D> p(Info);
  p.Property<&D::Title, &D::Title>("Title", TypeInfos::String());
  p.Property<&D::SelectedItem, &D::SetSelectedItem>("SelectedItem", TypeInfos::String());
  p.Property<&D::Root, &D::Root>("Root", TypeInfos::TZRPathDialogRoot()).Default(pdrNone);
  p.Property<&D::Flags, &D::Flags>("Flags", TypeInfos::TZRPathDialogFlags())
      .Default(TZRPathDialogFlags{pdfReturnOnlyFSDirs});
}

// What SetSelectedItem stores for Value.
std::string SelectionOf(const std::string& Value) {
  if (Value.empty()) {
    std::error_code error;
    return std::filesystem::current_path(error).string();
  }
  return ExcludeTrailingBackslash(Value);
}

std::string StandardFolder(QStandardPaths::StandardLocation Location) {
  const QString folder = QStandardPaths::writableLocation(Location);
  return (folder.isEmpty() ? QDir::homePath() : folder).toStdString();
}

std::string NoFolder() { return ""; }
template <int Kind>
std::string HelpDirOf() {
  return GetEnvHelpDir(Kind);
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TZRPathDialog, TComponent, "zrapi", &MakeComponent<TZRPathDialog>, DescribeTZRPathDialog)

std::uint32_t PathDialogFlagBit(TZRPathDialogFlag Flag) {
  switch (Flag) {
    case pdfBrowseForComputer:
      return 0x1000;
    case pdfBrowseForPrinter:
      return 0x2000;
    case pdfDontGoBelowDomain:
      return 0x0002;
    case pdfReturnfsAncestors:
      return 0x0008;
    case pdfReturnOnlyFSDirs:
      return 0x0001;
  }
  return 0;
}

std::uint32_t PathDialogBrowseFlags(TZRPathDialogFlags Flags) {
  std::uint32_t bits = 0;
  for (auto flag :
       {pdfBrowseForComputer, pdfBrowseForPrinter, pdfDontGoBelowDomain, pdfReturnfsAncestors, pdfReturnOnlyFSDirs})
    if (Flags.Contains(flag)) bits += PathDialogFlagBit(flag);
  return bits;
}

std::string PathDialogRootFolder(TZRPathDialogRoot Root) {
  switch (Root) {
    case pdrNone:
    case pdrDesktop:
    case pdrDrives:
      return "/";
    case pdrDesktopDirectory:
      return StandardFolder(QStandardPaths::DesktopLocation);
    case pdrPersonal:
      return StandardFolder(QStandardPaths::DocumentsLocation);
    case pdrFonts:
      return StandardFolder(QStandardPaths::FontsLocation);
    case pdrPrograms:
      return StandardFolder(QStandardPaths::ApplicationsLocation);
    case pdrTemplates:
      return StandardFolder(QStandardPaths::TemplatesLocation);
    default:
      return QDir::homePath().toStdString();
  }
}

// ---- TZRPathDialog ----

TZRPathDialog::TZRPathDialog(TComponent* AOwner) : TComponent(AOwner) {}

void TZRPathDialog::SetSelectedItem(const std::string& Value) {
  // With no browser window open there is nothing to tell about the new
  // selection (Handle is always 0 here).
  selectedItem_ = SelectionOf(Value);
}

bool TZRPathDialog::Execute() {
  TFolderBrowseOptions options;
  options.caption = Title;
  options.root = PathDialogRootFolder(Root);
  // The browser opens where SetSelectedItem would put the selection, but a
  // cancelled browse must leave SelectedItem as it was, so it is not stored.
  options.selected = SelectionOf(selectedItem_);
  options.flags = PathDialogBrowseFlags(Flags);
  const std::optional<std::string> chosen = Dialogs().BrowseFolder(options);
  Handle = 0;
  if (!chosen) return false;
  selectedItem_ = *chosen;
  return true;
}

bool BrowseForComputer(const std::string& /*Title*/, std::string& /*ComputerName*/, std::uintptr_t /*OwnerWindow*/) {
  // There are no network computers to browse; the caller sees a cancel.
  return false;
}

std::string IncludeTrailingBackslash(const std::string& Path) {
  if (Path.empty() || Path.back() == '/') return Path;
  return Path + '/';
}

std::string ExcludeTrailingBackslash(const std::string& Path) {
  if (Path.empty() || Path.back() != '/' || Path == "/") return Path;
  return Path.substr(0, Path.size() - 1);
}

// ---- Installed development environments ----

std::string ReadEnvRegString(int Kind, const std::string& Name) {
  if (Kind < 0 || Kind >= kEnvKindCount) return "";
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKey(std::string(kEnvRegistryBase) + kEnvKindKeys[Kind], false)) return "";
  return registry.ReadString(Name);
}

std::string GetEnvRootDir(int Kind) { return IncludeTrailingBackslash(ReadEnvRegString(Kind, "RootDir")); }

std::string GetEnvHelpDir(int Kind) { return GetEnvRootDir(Kind) + "HELP/"; }

const std::array<TZRPathMacro, 8> kPathMacros = {{
    {"%SYSTEM%", &NoFolder},
    {"%WINDOWS%", &NoFolder},
    {"%PROGRAMFILES%", &NoFolder},
    {"%C1_HELP%", &HelpDirOf<1>},
    {"%C3_HELP%", &HelpDirOf<3>},
    {"%D2_HELP%", &HelpDirOf<0>},
    {"%D3_HELP%", &HelpDirOf<2>},
    {"%D4_HELP%", &HelpDirOf<4>},
}};
