#include "components/base/FileSystems.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "components/base/PETestFiles.h"
#include "components/base/PropFileSystem.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StringList.h"
#include "platform/ui/Application.h"
#include "platform/ui/DialogService.h"

using testing::ThrowsMessage;

// A component with a string-list property and a plain string property.
class TScriptHolder : public TComponent {
  KESTOVA_CLASS(TScriptHolder)
 public:
  explicit TScriptHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TStringList* Script() const { return script_.get(); }
  std::string Title;
  int Number = 0;

 private:
  std::unique_ptr<TStringList> script_ = std::make_unique<TStringList>();
};

namespace {
void DescribeTScriptHolder(TClassInfo& Info) {
  using H = TScriptHolder;
  TClassPublisher<H> p(Info);
  p.Property<&H::Script, nullptr>("Script", ClassTypeInfo(TStringList::StaticClass()));
  p.Property<&H::Title, &H::Title>("Title", TypeInfos::String());
  p.Property<&H::Number, &H::Number>("Number", TypeInfos::Integer());
}
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TScriptHolder, TComponent, "FileSystems_test", &MakeComponent<TScriptHolder>,
                             DescribeTScriptHolder)

namespace {

class FileSystems : public testing::Test {
 protected:
  void SetUp() override {
    RegisterFileSystemClasses();
    RegisterPropFileSystemClass();
  }
  void TearDown() override { FreeFileSystems(); }
  TempDir dir_;
};

std::string ReadAll(TStream& Stream) {
  std::string s(static_cast<size_t>(Stream.Size()), '\0');
  Stream.SetPosition(0);
  Stream.ReadBuffer(s.data(), static_cast<int64_t>(s.size()));
  return s;
}

void WriteAll(TStream& Stream, const std::string& Text) {
  Stream.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}

// The save of the document framework: a temporary file, the old file as the
// backup, on disk; the file itself elsewhere.
void SaveDocument(const std::string& Descriptor, const std::string& FileName, const std::string& Text) {
  TAcquiredFileSystem fs(Descriptor);
  if (fs->IsReadOnly(FileName)) throw Exception("'" + FileName + "' is a read-only file");
  if (fs->IsVirtual() == 0) {
    const std::string temp = fs->GetTempFileName(FileName);
    {
      auto stream = fs->CreateStream(temp, TFileMode::fmCreate);
      WriteAll(*stream, Text);
    }
    const std::string backup = fs->GetBackupFileName(FileName);
    fs->DeleteOrError(backup);
    if (fs->FileExists(FileName)) fs->RenameOrError(FileName, backup);
    fs->RenameOrError(temp, FileName);
  } else {
    auto stream = fs->CreateStream(FileName, TFileMode::fmCreate);
    WriteAll(*stream, Text);
    if (auto* writeBack = dynamic_cast<TWriteBackStream*>(stream.get())) writeBack->Finish();
  }
}

std::vector<std::string> FolderNames(const std::string& Folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(Folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(FileSystems, DiskDeleteRefusesReadOnlyFilesAndIgnoresMissingOnes) {
  TWin32FileSystem fs(nullptr);
  const std::string missing = dir_.Path("missing.txt");
  EXPECT_NO_THROW(fs.DeleteOrError(missing));
  const std::string locked = dir_.Write("locked.txt", "x");
  ::chmod(locked.c_str(), 0444);
  EXPECT_TRUE(fs.IsReadOnly(locked));
  EXPECT_THAT([&] { fs.DeleteOrError(locked); }, ThrowsMessage<Exception>("Can't delete file " + locked));
  EXPECT_TRUE(fs.FileExists(locked));
  ::chmod(locked.c_str(), 0644);
  EXPECT_FALSE(fs.IsReadOnly(locked));
  fs.DeleteOrError(locked);
  EXPECT_FALSE(fs.FileExists(locked));
  EXPECT_FALSE(fs.IsReadOnly(missing));
  EXPECT_FALSE(fs.FileExists(dir_.Path("")));  // a folder is no file
}

TEST_F(FileSystems, DiskRenameKeepsAnExistingTarget) {
  TWin32FileSystem fs(nullptr);
  const std::string a = dir_.Write("a.txt", "a");
  const std::string b = dir_.Write("b.txt", "b");
  EXPECT_THAT([&] { fs.RenameOrError(a, b); },
              ThrowsMessage<Exception>("Can't rename file " + a + " to file " + b));
  EXPECT_EQ(ReadFileBytes(b), std::vector<uint8_t>{'b'});
  fs.RenameOrError(a, dir_.Path("c.txt"));
  EXPECT_EQ(FolderNames(dir_.Path("")), (std::vector<std::string>{"b.txt", "c.txt"}));
}

TEST_F(FileSystems, DiskFileAgeIsThePackedLocalTime) {
  TWin32FileSystem fs(nullptr);
  const std::string file = dir_.Write("aged.txt", "x");
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 2;  // March
  local.tm_mday = 5;
  local.tm_hour = 14;
  local.tm_min = 30;
  local.tm_sec = 21;
  local.tm_isdst = -1;
  const utimbuf times{std::mktime(&local), std::mktime(&local)};
  ASSERT_EQ(::utime(file.c_str(), &times), 0);
  const uint32_t date = (44 << 9) | (3 << 5) | 5;
  const uint32_t time = (14 << 11) | (30 << 5) | 10;  // seconds in steps of two
  EXPECT_EQ(static_cast<uint32_t>(fs.FileAge(file)), (date << 16) | time);
  EXPECT_EQ(fs.FileAge(dir_.Path("missing")), -1);
}

TEST_F(FileSystems, DiskTempNamesAreNewFilesBesideTheName) {
  TWin32FileSystem fs(nullptr);
  const std::string doc = dir_.Path("doc.txt");
  const std::string first = fs.GetTempFileName(doc);
  const std::string second = fs.GetTempFileName(doc);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.rfind(doc, 0), 0u);
  EXPECT_TRUE(fs.FileExists(first));
  EXPECT_THAT([&] { fs.GetTempFileName(dir_.Path("no/such/doc.txt")); },
              ThrowsMessage<Exception>("Can't create temporary filename"));
  EXPECT_EQ(fs.GetBackupFileName("/a/unit1.pas"), "/a/unit1.~pa");
  EXPECT_EQ(fs.ChangeFileExt("/a/unit1.pas", ".dfm"), "/a/unit1.dfm");
  EXPECT_EQ(fs.IsVirtual(), 0);
}

TEST_F(FileSystems, SharedInstancesAreCountedPerDescriptor) {
  EXPECT_EQ(AcquireFileSystem(""), DefaultFileSystem());
  ReleaseFileSystem(DefaultFileSystem());  // ignored
  ReleaseFileSystem(DefaultFileSystem());
  EXPECT_EQ(AcquireFileSystem(""), DefaultFileSystem());

  const std::string descriptor = ResourceFileSystemDescriptor("/x/a.dll");
  TFileSystem* first = AcquireFileSystem(descriptor);
  TFileSystem* second = AcquireFileSystem(descriptor);
  EXPECT_EQ(first, second);
  EXPECT_EQ(FileSystemUseCount(first), 2);
  ASSERT_EQ(first->ClassName(), "TResFileSystem");
  EXPECT_EQ(static_cast<TResFileSystem*>(first)->FileName(), "/x/a.dll");
  EXPECT_EQ(FileSystemDescriptor(first), descriptor);

  ReleaseFileSystem(first);
  EXPECT_EQ(FileSystemUseCount(first), 1);
  TResFileSystem stranger(nullptr);
  ReleaseFileSystem(&stranger);  // not shared: left alone
  EXPECT_EQ(FileSystemUseCount(first), 1);
  ReleaseFileSystem(first);
  EXPECT_EQ(FileSystemUseCount(first), 0);
  TFileSystem* again = AcquireFileSystem(descriptor);
  EXPECT_EQ(FileSystemUseCount(again), 1);
  ReleaseFileSystem(again);
}

// The descriptors of two modules agree up to a zero byte (the component's
// empty name); only a byte-for-byte key tells them apart.
TEST_F(FileSystems, DescriptorsAreComparedByteForByte) {
  const std::string a = ResourceFileSystemDescriptor("/x/a.dll");
  const std::string b = ResourceFileSystemDescriptor("/x/b.dll");
  const auto firstDifference = std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin();
  ASSERT_NE(a.find('\0'), std::string::npos);
  EXPECT_LT(a.find('\0'), static_cast<size_t>(firstDifference));
  TFileSystem* fa = AcquireFileSystem(a);
  TFileSystem* fb = AcquireFileSystem(b);
  EXPECT_NE(fa, fb);
  EXPECT_EQ(static_cast<TResFileSystem*>(fb)->FileName(), "/x/b.dll");
  ReleaseFileSystem(fa);
  ReleaseFileSystem(fb);
}

TEST_F(FileSystems, DiskSaveLeavesTheOldFileAsTheBackup) {
  const std::string doc = dir_.Write("unit1.pas", "old");
  dir_.Write("unit1.~pa", "older");
  SaveDocument("", doc, "new");
  EXPECT_EQ(FolderNames(dir_.Path("")), (std::vector<std::string>{"unit1.pas", "unit1.~pa"}));
  EXPECT_EQ(ReadFileBytes(doc), (std::vector<uint8_t>{'n', 'e', 'w'}));
  EXPECT_EQ(ReadFileBytes(dir_.Path("unit1.~pa")), (std::vector<uint8_t>{'o', 'l', 'd'}));
  // A first save has no old file to keep.
  SaveDocument("", dir_.Path("fresh.pas"), "x");
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("fresh.~pa")));

  ::chmod(doc.c_str(), 0444);
  EXPECT_THAT([&] { SaveDocument("", doc, "newer"); }, ThrowsMessage<Exception>("'" + doc + "' is a read-only file"));
}

TEST_F(FileSystems, ResourceFileSystemReadsAndReplacesModuleResources) {
  TResFileSystem fs(nullptr);
  fs.SetFileName(dir_.Copy(PEFixture("res.dll"), "f.dll"));
  EXPECT_TRUE(fs.FileExists("RCDATA\\DATA1.txt"));
  EXPECT_TRUE(fs.FileExists("MyType\\Data1"));
  EXPECT_FALSE(fs.FileExists("RCDATA\\NOPE"));
  EXPECT_FALSE(fs.FileExists("DATA1"));
  EXPECT_EQ(fs.IsVirtual(), 1);
  {
    auto stream = fs.CreateStream("RCDATA\\DATA1.txt", TFileMode::fmOpenReadWrite);
    EXPECT_EQ(ReadAll(*stream), FixtureData1());
    stream->SetPosition(0);
    WriteAll(*stream, "NEW");
    dynamic_cast<TWriteBackStream&>(*stream).Finish();
  }
  auto stream = fs.CreateStream("RCDATA\\DATA1", TFileMode::fmOpenRead);
  EXPECT_EQ(ReadAll(*stream), "NEW" + FixtureData1().substr(3));
  EXPECT_TRUE(ResourceIsComponentStream(fs.FileName(), "TFORM1", uint16_t{10}));
  EXPECT_FALSE(ResourceIsComponentStream(fs.FileName(), "DATA1", uint16_t{10}));
  EXPECT_FALSE(ResourceIsComponentStream(fs.FileName(), "NONE", uint16_t{10}));
  EXPECT_THAT([&] { ResourceIsComponentStream(dir_.Path("none.dll"), "TFORM1", uint16_t{10}); },
              ThrowsMessage<Exception>("Can't open module " + dir_.Path("none.dll") + "\nError code : 2"));
}

TEST_F(FileSystems, ResourceStreamsWriteOnlyWhatChanged) {
  TResFileSystem fs(nullptr);
  fs.SetFileName(dir_.Copy(PEFixture("res.dll"), "f.dll"));
  const auto before = ReadFileBytes(fs.FileName());
  // Read and freed, or made empty and freed, without writes: nothing.
  fs.CreateStream("RCDATA\\DATA1", TFileMode::fmOpenRead).reset();
  fs.CreateStream("RCDATA\\NEW", TFileMode::fmCreate).reset();
  EXPECT_EQ(ReadFileBytes(fs.FileName()), before);
  // A write that cannot be done raises from Finish ...
  auto stream = fs.CreateStream("RCDATA\\NEW", TFileMode::fmCreate);
  WriteAll(*stream, "x");
  EXPECT_THAT([&] { dynamic_cast<TWriteBackStream&>(*stream).Finish(); },
              ThrowsMessage<Exception>("Resource not found"));
  stream.reset();  // ... once.
  EXPECT_EQ(ReadFileBytes(fs.FileName()), before);
}

TEST_F(FileSystems, AStreamFreedUnfinishedShowsItsFailure) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  TResFileSystem fs(nullptr);
  fs.SetFileName(dir_.Copy(PEFixture("res.dll"), "f.dll"));
  {
    auto stream = fs.CreateStream("RCDATA\\7", TFileMode::fmCreate);  // numbered: cannot be replaced
    WriteAll(*stream, "x");
  }
  ASSERT_EQ(dialogs.Count("message"), 1);
  EXPECT_EQ(dialogs.Calls()[0].text, "Resource not found.");
  {
    auto stream = fs.CreateStream("RCDATA\\DATA1", TFileMode::fmCreate);
    WriteAll(*stream, "freed");
  }
  EXPECT_EQ(dialogs.Count("message"), 1);
  EXPECT_EQ(ReadAll(*fs.CreateStream("RCDATA\\DATA1", TFileMode::fmOpenRead)), "freed");
}

// ---- The property file system ----

TEST_F(FileSystems, PropertySaveFillsAStringListWithCrLfLines) {
  TScriptHolder holder(nullptr);
  holder.Script()->SetText("old\n");
  TPropFileSystem fs(nullptr);
  fs.SetComponent(&holder);
  fs.SetPropName("Script");
  const std::string descriptor = FileSystemDescriptor(&fs);
  SaveDocument(descriptor, "anything", "first\r\nsecond\nthird");
  EXPECT_EQ(holder.Script()->Count(), 3);
  EXPECT_EQ(holder.Script()->Get(1), "second");
  TAcquiredFileSystem shared(descriptor);
  EXPECT_TRUE(shared->FileExists("ignored"));
  auto stream = shared->CreateStream("", TFileMode::fmOpenRead);
  EXPECT_EQ(ReadAll(*stream), "first\r\nsecond\r\nthird\r\n");
}

TEST_F(FileSystems, PropertyStreamsOnStringProperties) {
  TScriptHolder holder(nullptr);
  holder.Title = "abc";
  std::vector<TComponent*> modified;
  struct Watcher {
    std::vector<TComponent*>* seen;
    void Modified(TComponent* C) { seen->push_back(C); }
  } watcher{&modified};
  SetDesignerModifiedHook(TDesignerModifiedHook::Of<&Watcher::Modified>(watcher));
  {
    TPropStream stream(&holder, TFileMode::fmOpenReadWrite, "Title");
    EXPECT_EQ(ReadAll(stream), "abc");
    WriteAll(stream, "d");
    EXPECT_EQ(holder.Title, "abc");  // set once, when done
    stream.Finish();
  }
  EXPECT_EQ(holder.Title, "abcd");
  { TPropStream reading(&holder, TFileMode::fmOpenRead, "Title"); }
  EXPECT_EQ(modified, std::vector<TComponent*>{&holder});
  { TPropStream writing(&holder, TFileMode::fmOpenWrite, "Title"); }
  EXPECT_EQ(holder.Title, "");  // written empty
  SetDesignerModifiedHook(nullptr);

  for (const char* name : {"Number", "Missing", ""}) {
    SCOPED_TRACE(name);
    EXPECT_THAT([&] { TPropStream s(&holder, TFileMode::fmOpenRead, name); },
                ThrowsMessage<Exception>("Error in property stream"));
    EXPECT_FALSE(PropertyIsFile(&holder, name));
  }
}

TEST_F(FileSystems, PropertyStreamOfAFreedComponentRaises) {
  auto holder = std::make_unique<TScriptHolder>(nullptr);
  TPropStream stream(holder.get(), TFileMode::fmOpenWrite, "Title");
  WriteAll(stream, "late");
  holder.reset();
  EXPECT_THAT([&] { stream.Finish(); }, ThrowsMessage<Exception>("Error in property stream"));
}

TEST_F(FileSystems, ComponentPtrResolvesOnlyLiveComponents) {
  auto holder = std::make_unique<TScriptHolder>(nullptr);
  TPropFileSystem fs(nullptr);
  fs.SetComponent(holder.get());
  const std::string text = fs.ComponentPtr();
  EXPECT_EQ(text.size(), 1 + 2 * sizeof(void*));  // the full pointer width
  TPropFileSystem copy(nullptr);
  copy.SetComponentPtr(text);
  EXPECT_EQ(copy.Component(), holder.get());

  struct Row {
    std::string text;
  } rows[] = {{"$0"}, {"$DEADBEEF"}, {"1234"}, {"$"}, {"$12G4"}, {""}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    TPropFileSystem stale(nullptr);
    stale.SetPropName("Script");
    stale.SetComponentPtr(r.text);
    EXPECT_EQ(stale.Component(), nullptr);
    EXPECT_FALSE(stale.FileExists(""));
    EXPECT_THAT([&] { stale.CreateStream("", TFileMode::fmOpenRead); },
                ThrowsMessage<Exception>("Component doesn't exist"));
  }
  // A freed component's address is no longer resolved.
  const std::string gone = text;
  holder.reset();
  EXPECT_EQ(copy.Component(), nullptr);
  TPropFileSystem late(nullptr);
  late.SetComponentPtr(gone);
  EXPECT_EQ(late.Component(), nullptr);
}

TEST_F(FileSystems, AFreedComponentReleasesItsSharedFileSystem) {
  auto holder = std::make_unique<TScriptHolder>(nullptr);
  TPropFileSystem fs(nullptr);
  fs.SetComponent(holder.get());
  fs.SetPropName("Script");
  TFileSystem* shared = AcquireFileSystem(FileSystemDescriptor(&fs));
  EXPECT_TRUE(shared->FileExists(""));
  EXPECT_EQ(FileSystemUseCount(shared), 1);
  holder.reset();  // detaches without error and frees the shared one
  EXPECT_EQ(FileSystemUseCount(shared), 0);
  EXPECT_FALSE(fs.FileExists(""));
}

}  // namespace
