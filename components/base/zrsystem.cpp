#include "components/base/zrsystem.h"

#include <QUuid>
#include <algorithm>
#include <climits>
#include <cstdio>

#include "components/base/FileSystems.h"
#include "components/base/PropFileSystem.h"
#include "platform/classes/Filer.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FileNames.h"
#include "platform/core/StrUtils.h"
#include "platform/process/DynamicLibrary.h"

// ---- Strings and character sets ----

void AppendStr(std::string& S, std::string_view T) { S.append(T); }

std::string SpaceString(int N) { return N > 0 ? std::string(static_cast<size_t>(N), ' ') : std::string(); }

void PadRight(std::string& S, int N) {
  if (N > 0 && S.size() < static_cast<size_t>(N)) S.resize(static_cast<size_t>(N), ' ');
}

int FirstNonBlank(std::string_view S) {
  const size_t i = S.find_first_not_of(' ');
  return static_cast<int>(i == std::string_view::npos ? S.size() : i) + 1;
}

std::string MultiplyChar(std::string_view S, char Ch, int Extra) {
  if (Extra <= 0) return std::string(S);
  std::string result;
  for (char c : S) result.append(c == Ch ? static_cast<size_t>(Extra) + 1 : 1, c);
  return result;
}

TZRCharSet AddCharsToSet(TZRCharSet Set, std::string_view Chars, bool CaseSensitive) {
  for (char c : Chars) {
    const auto u = static_cast<unsigned char>(c);
    Set.set(u);
    if (!CaseSensitive) {
      if (u >= 'a' && u <= 'z') Set.set(u - 'a' + 'A');
      if (u >= 'A' && u <= 'Z') Set.set(u - 'A' + 'a');
    }
  }
  return Set;
}

std::string RemoveChars(const TZRCharSet& Set, std::string_view S) {
  std::string result;
  for (char c : S)
    if (!Set.test(static_cast<unsigned char>(c))) result += c;
  return result;
}

std::string StripChars(std::string_view S, std::string_view Chars, bool CaseSensitive) {
  return RemoveChars(AddCharsToSet({}, Chars, CaseSensitive), S);
}

std::string ReadShortStr(const uint8_t*& P, const uint8_t* End) {
  if (P >= End || End - P - 1 < *P) throw EReadError();
  const size_t length = *P;
  std::string result(reinterpret_cast<const char*>(P + 1), length);
  P += length + 1;
  return result;
}

void ReplaceAt(std::string& S, int Pos, std::string_view Old, std::string_view New) {
  if (Pos < 1 || static_cast<size_t>(Pos) > S.size() + 1) return;
  S.replace(static_cast<size_t>(Pos) - 1, Old.size(), New);
}

void ReplaceAllOf(std::string& S, std::string_view Old, std::string_view New) {
  if (Old.empty()) return;
  size_t from = 0;
  while (from < S.size()) {
    const size_t at = S.find(Old, from);
    if (at == std::string::npos) return;
    S.replace(at, Old.size(), New);
    from = at + New.size();
  }
}

std::string ExtractFileTitle(std::string_view FileName) { return ChangeFileExt(ExtractFileName(FileName), ""); }

std::string ClassPartOfProgID(std::string_view ProgID) {
  const size_t first = ProgID.find('.');
  if (first == std::string_view::npos) return std::string(ProgID);
  const size_t second = ProgID.find('.', first + 1);
  return std::string(ProgID.substr(first + 1, second == std::string_view::npos ? std::string_view::npos
                                                                                 : second - first - 1));
}

std::string VarTypeToTypeName(int Code) {
  static const char* const names[32] = {
      "",         "",        "Smallint", "Longint",  "Single",  "Double",  "Currency", "TDateTime",
      "PWideChar", "Pointer", "Integer",  "WordBool", "Variant", "Pointer", "PWideChar", "",
      "ShortInt", "Byte",    "Word",     "Cardinal", "Variant", "Variant", "Integer",  "Cardinal",
      "Variant",  "HResult", "Pointer",  "Variant",  "Variant", "Variant", "PChar",    "PWideChar"};
  return Code >= 0 && Code < 32 ? names[Code] : "";
}

// ---- String lists and pointer lists ----

std::unique_ptr<TStringList> CreateSortedStringList() {
  auto list = std::make_unique<TStringList>();
  list->SetSorted(true);
  return list;
}

void SetStringsFromArray(TStrings& Strings, std::initializer_list<const char*> Items) {
  struct Update {
    TStrings& strings;
    explicit Update(TStrings& s) : strings(s) { strings.BeginUpdate(); }
    ~Update() { strings.EndUpdate(); }
  } update(Strings);
  Strings.Clear();
  for (const char* item : Items) Strings.Add(item);
}

void ForEachString(const TStrings& List, void (*Proc)(void* Data, const std::string& S), void* Data) {
  for (int i = 0; i < List.Count(); ++i) Proc(Data, List.Get(i));
}

void ClearStringsAndObjects(TStrings& List) {
  struct ClearAtEnd {
    TStrings& list;
    ~ClearAtEnd() { list.Clear(); }
  } clear{List};
  for (int i = 0; i < List.Count(); ++i) {
    TObject* object = List.Objects(i);
    List.PutObject(i, nullptr);
    if (object) object->Free();
  }
}

std::unique_ptr<TList> CreateList() { return std::make_unique<TList>(); }

void AppendListItems(const TList& Source, TList& Dest) {
  if (&Source == &Dest) return;
  const int total = Source.Count() + Dest.Count();
  if (Dest.Capacity() < total) Dest.SetCapacity(total);
  for (int i = 0; i < Source.Count(); ++i) Dest.Add(Source.Get(i));
}

bool SameListItems(const TList& A, const TList& B) {
  if (A.Count() != B.Count()) return false;
  for (int i = 0; i < A.Count(); ++i)
    if (B.IndexOf(A.Get(i)) < 0) return false;
  return true;
}

bool IterateListBackward(TList* List, TListIterateProc Proc, void* Data) {
  bool goOn = true;
  if (!List) return goOn;
  int i = List->Count() - 1;
  while (i >= 0 && goOn) {
    Proc(Data, List->Get(i), i, goOn);
    i = std::min(i - 1, List->Count() - 1);
  }
  return goOn;
}

int32_t MaxOfArray(std::span<const int32_t> Values) {
  int32_t result = INT32_MIN;
  for (int32_t v : Values) result = std::max(result, v);
  return result;
}

void GetEnumNames(const TTypeInfo* TypeInfo, TStrings* List) {
  if (!TypeInfo || !List || TypeInfo->Kind != tkEnumeration) return;
  List->Clear();
  for (int64_t v = TypeInfo->Data.MinValue; v <= TypeInfo->Data.MaxValue; ++v) List->Add(GetEnumName(TypeInfo, v));
}

// ---- Components and names ----

std::string ExpandFileNameIn(const std::string& BaseDir, const std::string& Name, const std::string& Descriptor) {
  TAcquiredFileSystem fs(Descriptor);
  const std::string saved = fs->GetCurrentDir();
  struct Restore {
    TFileSystem* fs;
    const std::string& dir;
    ~Restore() { fs->SetCurrentDir(dir); }
  } restore{fs.Get(), saved};
  fs->SetCurrentDir(BaseDir);
  return ExpandFileName(Name);
}

std::string ExpandRelativeTo(const std::string& RefFile, const std::string& Name, const std::string& Descriptor) {
  if (Name.empty()) return "";
  return ExpandFileNameIn(ExtractFilePath(RefFile), Name, Descriptor);
}

std::string GetNamePathOf(const TPersistent* Obj) { return Obj ? Obj->GetNamePath() : ""; }

namespace {
TObjectCaptionHook& CaptionHook() {
  static TObjectCaptionHook hook;
  return hook;
}
TPropChangeHook& PropChangeHook() {
  static TPropChangeHook hook;
  return hook;
}
bool& EditorsRegistered() {
  static bool value = false;
  return value;
}
struct GlobalLookup {
  TFindComponentMethod Method;
  void* Data = nullptr;
};
GlobalLookup& RememberedLookup() {
  static GlobalLookup lookup;
  return lookup;
}
TComponent* FamilyFindGlobalComponent(const std::string& Name) {
  const GlobalLookup& lookup = RememberedLookup();
  return lookup.Method ? lookup.Method(lookup.Data, Name) : nullptr;
}
std::string& ProcessGuidText() {
  static std::string text;
  return text;
}
}  // namespace

void SetObjectCaptionHook(const TObjectCaptionHook& Hook) { CaptionHook() = Hook; }

std::string GetObjectCaption(const TPersistent* Obj, const std::string& Name) {
  if (CaptionHook()) return CaptionHook()(Obj, Name);
  if (!Obj) return "";
  const std::string shown = Name.empty() ? Obj->GetNamePath() : Name;
  if (shown.empty()) return "";
  return shown + ": " + Obj->ClassName();
}

bool IsNameUnused(const TComponent* Component, std::string_view Name) {
  for (const TComponent* c = Component; c; c = c->Owner())
    if (c->FindComponent(Name)) return false;
  return true;
}

std::string MakeUniqueName(const TComponent* Component, const std::string& Prefix) {
  for (int i = 1;; ++i) {
    std::string name = Prefix + std::to_string(i);
    if (IsNameUnused(Component, name)) return name;
  }
}

void EnumComponentNames(const TComponent* Root, const TComponent* DesignRoot, TClass Class, TNameProc Proc,
                        void* Data) {
  if (!Root) return;
  for (int i = 0; i < Root->ComponentCount(); ++i) {
    const TComponent* c = Root->Components(i);
    if (c->Name().empty() || !c->InheritsFrom(Class)) continue;
    Proc(Data, Root == DesignRoot ? c->Name() : Root->Name() + "." + c->Name());
  }
}

void EnumComponentNamesInList(const TList& Roots, const TComponent* DesignRoot, TClass Class, TNameProc Proc,
                              void* Data) {
  for (int i = 0; i < Roots.Count(); ++i)
    EnumComponentNames(static_cast<const TComponent*>(Roots.Get(i)), DesignRoot, Class, Proc, Data);
}

bool InstallFindGlobalComponent(const TFindComponentMethod& Proc, void* Data) {
  GlobalLookup& lookup = RememberedLookup();
  if (lookup.Method) return false;
  lookup.Method = Proc;
  lookup.Data = Data;
  RegisterFindGlobalComponentProc(&FamilyFindGlobalComponent);
  return true;
}

void RemoveFindGlobalComponent() {
  UnregisterFindGlobalComponentProc(&FamilyFindGlobalComponent);
  RememberedLookup() = GlobalLookup();
}

void SetPropChangeHook(const TPropChangeHook& Hook) { PropChangeHook() = Hook; }

void CallPropChangeHook(TPersistent* Obj, const std::string& PropName) {
  if (PropChangeHook()) PropChangeHook()(Obj, PropName);
}

void CallProcWith(void (*Proc)(void* Arg), void* Arg) { Proc(Arg); }
void CallRegisterProc(void (*Proc)()) { Proc(); }

void SetEditorsRegistered(bool Value) { EditorsRegistered() = Value; }

void CallIfEditorsNotRegistered(void (*Proc)()) {
  if (!EditorsRegistered()) Proc();
}

bool RuntimePackagesInUse() { return false; }

// ---- GUIDs, type libraries and servers ----

TGUID StringToCLSID(std::string_view S) {
  const QUuid uuid = QUuid::fromString(QAnyStringView(QByteArrayView(S.data(), static_cast<qsizetype>(S.size()))));
  const bool nullText = S == "{00000000-0000-0000-0000-000000000000}" || S == "00000000-0000-0000-0000-000000000000";
  if (uuid.isNull() && !nullText) throw EConvertError(Format(kInvalidGuidText, {std::string(S)}));
  TGUID guid;
  guid.D1 = uuid.data1;
  guid.D2 = uuid.data2;
  guid.D3 = uuid.data3;
  std::copy(std::begin(uuid.data4), std::end(uuid.data4), guid.D4.begin());
  return guid;
}

std::string CLSIDToString(const TGUID& Guid) { return Guid.ToString(); }

std::string GetTypeLibraryName(const TGUID&) { return ""; }

void RegisterOleServer(const std::string& FileName) {
  static constexpr const char* kEntry = "DllRegisterServer";
  DynamicLibrary library;
  if (!library.Load(FileName)) throw Exception(Format(kLoadLibraryFailedText, {FileName}));
  using TRegisterProc = int32_t (*)();
  auto proc = reinterpret_cast<TRegisterProc>(library.Symbol(kEntry));
  if (!proc) throw Exception(Format(kProcNotFoundText, {std::string(kEntry), FileName}));
  if (proc() != 0) throw Exception(Format(kCallFailedText, {std::string(kEntry), FileName}));
}

const std::string& ProcessGuid() { return ProcessGuidText(); }

// ---- Start-up ----

void StartUpSystemUnit() {
  RegisterFileSystemClasses();
  RegisterPropFileSystemClass();
  ProcessGuidText() = QUuid::createUuid().toString(QUuid::WithBraces).toUpper().toStdString();
}

void ShutDownSystemUnit() { FreeFileSystems(); }
