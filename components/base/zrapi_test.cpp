#include "components/base/zrapi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/classes/Registry.h"
#include "platform/classes/StoreTesting.h"
#include "platform/ui/DialogService.h"

namespace {

using ::testing::ElementsAre;

std::string CurrentDir() { return std::filesystem::current_path().string(); }

// Sets an environment variable for the life of the guard.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class PathDialogTest : public ::testing::Test {
 protected:
  ScriptedDialogService dialogs_;
  ScopedDialogService scope_{dialogs_};
  TZRPathDialog dialog_{nullptr};
};

TEST_F(PathDialogTest, ANewDialogBrowsesFoldersOfTheWholeFileSystem) {
  EXPECT_EQ(dialog_.Root, pdrNone);
  EXPECT_EQ(dialog_.Flags, TZRPathDialogFlags{pdfReturnOnlyFSDirs});
  EXPECT_EQ(dialog_.Handle, 0u);
  EXPECT_EQ(dialog_.ParentWindow, 0u);
  EXPECT_EQ(dialog_.SelectedItem(), "");

  dialog_.Title = "Choose the data folder";
  EXPECT_FALSE(dialog_.Execute());
  ASSERT_EQ(dialogs_.Calls().size(), 1u);
  const auto& call = dialogs_.Calls()[0];
  EXPECT_EQ(call.kind, "folder");
  EXPECT_EQ(call.caption, "Choose the data folder");
  EXPECT_EQ(call.flags, 0x0001u);
  EXPECT_EQ(call.root, "/");
  EXPECT_EQ(call.start, CurrentDir()) << "no selection opens at the current directory";
}

TEST_F(PathDialogTest, AConfirmedPathIsStoredAsReturnedAndCancelChangesNothing) {
  dialog_.SetSelectedItem("/usr/share/");
  dialogs_.AnswerFolder("/home/ana/data/");
  EXPECT_TRUE(dialog_.Execute());
  EXPECT_EQ(dialog_.SelectedItem(), "/home/ana/data/") << "stored without the setter's trimming";
  EXPECT_EQ(dialog_.Handle, 0u);
  EXPECT_EQ(dialogs_.Calls()[0].start, "/usr/share");

  dialogs_.AnswerFolder(std::nullopt);
  EXPECT_FALSE(dialog_.Execute());
  EXPECT_EQ(dialog_.SelectedItem(), "/home/ana/data/");
  EXPECT_EQ(dialog_.Handle, 0u);
  EXPECT_EQ(dialogs_.Calls()[1].start, "/home/ana/data") << "opens where the setter would put it";

  TZRPathDialog empty(nullptr);
  EXPECT_FALSE(empty.Execute());
  EXPECT_EQ(empty.SelectedItem(), "") << "a cancelled browse does not fill in the current directory";
}

TEST_F(PathDialogTest, FlagsReachTheBrowseAsTheirBitsAndOnlyFoldersAreListed) {
  struct Case {
    TZRPathDialogFlags flags;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {{}, 0},
      {{pdfReturnOnlyFSDirs}, 0x0001},
      {{pdfBrowseForPrinter, pdfDontGoBelowDomain}, 0x2002},
      {{pdfReturnfsAncestors, pdfReturnOnlyFSDirs}, 0x0009},
      {{pdfBrowseForComputer, pdfBrowseForPrinter, pdfDontGoBelowDomain, pdfReturnfsAncestors, pdfReturnOnlyFSDirs},
       0x300B},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    dialog_.Flags = c.flags;
    dialogs_.AnswerFolder("/tmp");
    EXPECT_TRUE(dialog_.Execute()) << "still a folder browse, whatever the flags";
    EXPECT_EQ(dialogs_.Calls().back().kind, "folder");
    EXPECT_EQ(dialogs_.Calls().back().flags, c.bits);
    EXPECT_EQ(dialog_.Flags, c.flags) << "flags are kept as set";
  }
}

// Roots map to Linux folders; the user's folders come from the XDG settings
// of a home of the test's own.
TEST_F(PathDialogTest, EachRootIsAFolderAndTheBrowseOpensBelowItOrAtIt) {
  TTestFolder temp;
  const std::string home = temp.Path("ana");
  std::filesystem::create_directories(home + "/.config");
  std::ofstream(home + "/.config/user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                                     "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                                                     "XDG_TEMPLATES_DIR=\"$HOME/Vorlagen\"\n";
  ScopedEnv envHome("HOME", home);
  ScopedEnv envConfig("XDG_CONFIG_HOME", home + "/.config");
  ScopedEnv envData("XDG_DATA_HOME", home + "/.local/share");

  struct Case {
    TZRPathDialogRoot root;
    std::string folder;
  };
  const Case cases[] = {
      {pdrNone, "/"},
      {pdrDesktop, "/"},
      {pdrDrives, "/"},
      {pdrDesktopDirectory, home + "/Schreibtisch"},
      {pdrPersonal, home + "/Dokumente"},
      {pdrFonts, home + "/.local/share/fonts"},
      {pdrPrograms, home + "/.local/share/applications"},
      {pdrTemplates, home + "/Vorlagen"},
      {pdrBitBucket, home},
      {pdrControls, home},
      {pdrNetHood, home},
      {pdrNetwork, home},
      {pdrPrinters, home},
      {pdrRecent, home},
      {pdrSendto, home},
      {pdrStartmenu, home},
      {pdrStartup, home},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(GetEnumName(TypeInfos::TZRPathDialogRoot(), c.root));
    EXPECT_EQ(PathDialogRootFolder(c.root), c.folder);
    dialog_.Root = c.root;
    dialog_.SetSelectedItem(c.folder + "/trees/");
    EXPECT_FALSE(dialog_.Execute());
    EXPECT_EQ(dialogs_.Calls().back().root, c.folder);
    EXPECT_EQ(dialogs_.Calls().back().start, (c.folder == "/" ? "" : c.folder) + "/trees") << "below the root";
  }
  dialog_.Root = pdrPersonal;
  dialog_.SetSelectedItem(home + "/Vorlagen");
  dialog_.Execute();
  EXPECT_EQ(dialogs_.Calls().back().start, home + "/Dokumente") << "outside the root: at the root";
}

TEST(PathDialog, SetSelectedItemStoresThePathWithoutOneTrailingSeparator) {
  struct Case {
    std::string value, stored;
  };
  const Case cases[] = {
      {"", CurrentDir()}, {"/a/b/", "/a/b"}, {"/a/b", "/a/b"},  {"/", "/"},
      {"//", "/"},        {"/a//", "/a/"},   {"data/", "data"}, {"d\\", "d\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    TZRPathDialog dialog(nullptr);
    dialog.SetSelectedItem(c.value);
    EXPECT_EQ(dialog.SelectedItem(), c.stored);
    // The published property goes through the same setter.
    SetStrProp(&dialog, GetPropInfo(TZRPathDialog::StaticClass(), "SelectedItem"), c.value);
    EXPECT_EQ(dialog.SelectedItem(), c.stored);
  }
}

TEST(PathDialog, PublishesTitleSelectedItemRootAndFlagsWithTheirDefaults) {
  std::vector<std::string> names;
  for (const TPropInfo* prop : GetPropInfos(TZRPathDialog::StaticClass())) names.push_back(prop->Name);
  EXPECT_THAT(names, ElementsAre("Name", "Tag", "Title", "SelectedItem", "Root", "Flags"));
  const TPropInfo* flags = GetPropInfo(TZRPathDialog::StaticClass(), "Flags");
  EXPECT_EQ(flags->Default, std::optional<std::int64_t>(1 << pdfReturnOnlyFSDirs));
  TZRPathDialog dialog(nullptr);
  EXPECT_EQ(GetOrdProp(&dialog, flags), *flags->Default);
  SetOrdProp(&dialog, GetPropInfo(TZRPathDialog::StaticClass(), "Root"), pdrTemplates);
  EXPECT_EQ(dialog.Root, pdrTemplates);
}

TEST(PathHelpers, TrailingSeparatorsAreAddedAndRemovedOnce) {
  struct Case {
    std::string path, included, excluded;
  };
  const Case cases[] = {
      {"", "", ""},
      {"/", "/", "/"},
      {"/usr", "/usr/", "/usr"},
      {"/usr/", "/usr/", "/usr"},
      {"/usr//", "/usr//", "/usr/"},
      {"data", "data/", "data"},
      {"C:\\", "C:\\/", "C:\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IncludeTrailingBackslash(c.path), c.included);
    EXPECT_EQ(ExcludeTrailingBackslash(c.path), c.excluded);
  }
}

TEST(PathHelpers, ThereIsNoComputerToBrowse) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  dialogs.AnswerFolder("/home");
  std::string name = "unchanged";
  EXPECT_FALSE(BrowseForComputer("Choose a computer", name, 0x1234));
  EXPECT_EQ(name, "unchanged");
  EXPECT_TRUE(dialogs.Calls().empty());
}

// The per-user registry holds the install keys, but the look-ups read the
// local machine's, which is empty.
class InstallLookupTest : public TRegistryFileTest {};

TEST_F(InstallLookupTest, EveryEnvironmentAnswersNotInstalled) {
  TRegistry user;
  for (const char* key : kEnvKindKeys) {
    ASSERT_TRUE(user.OpenKey(std::string("\\") + kEnvRegistryBase + key, true));
    user.WriteString("RootDir", "/opt/env");
  }
  for (int kind = -1; kind <= kEnvKindCount; ++kind) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(ReadEnvRegString(kind, "RootDir"), "");
    EXPECT_EQ(GetEnvRootDir(kind), "");
    EXPECT_EQ(GetEnvHelpDir(kind), "HELP/");
  }
  std::vector<std::string> macros;
  for (const TZRPathMacro& macro : kPathMacros) macros.push_back(std::string(macro.Name) + "=" + macro.Expansion());
  EXPECT_THAT(macros, ElementsAre("%SYSTEM%=", "%WINDOWS%=", "%PROGRAMFILES%=", "%C1_HELP%=HELP/", "%C3_HELP%=HELP/",
                                  "%D2_HELP%=HELP/", "%D3_HELP%=HELP/", "%D4_HELP%=HELP/"));
}

}  // namespace
