// TRegistry's typed reads and writes and its name lists.
#include "platform/classes/Registry.h"
#include "platform/classes/Registry_p.h"
#include "platform/classes/StoreFiles_p.h"
#include "platform/core/StringList.h"

void TRegistry::GetKeyNames(TStrings& Strings) {
  std::vector<std::string> names;
  if (key_.Handle)
    ReadTree([&](const TRegKeyNode& root) {
      if (const TRegKeyNode* key = root.Find(key_.Names))
        for (const auto& sub : key->SubKeys()) names.push_back(sub->Name());
    });
  SetLines(Strings, names);
}

void TRegistry::GetValueNames(TStrings& Strings) {
  std::vector<std::string> names;
  if (key_.Handle)
    ReadTree([&](const TRegKeyNode& root) {
      if (const TRegKeyNode* key = root.Find(key_.Names))
        for (const TRegValue& value : key->Values()) names.push_back(value.Name);
    });
  SetLines(Strings, names);
}

// As the class library reads fixed-size data: a missing value, or one that
// does not fit, fails to read; one of another type or size is the wrong type.
std::string TRegistry::FetchFixed(const std::string& Name, size_t Size, uint32_t Type) const {
  TRegValue value;
  if (!Fetch(Name, value) || value.Data.size() > Size) RaiseRegistryError(kRegGetDataFailedText, Name);
  if (value.Type != Type || value.Data.size() != Size) RaiseRegistryError(kRegInvalidDataTypeText, Name);
  return value.Data;
}

void TRegistry::PutData(const std::string& Name, std::string Data, uint32_t Type) {
  bool done = false;
  std::string reason;
  if (key_.Handle && !key_.ReadOnly && IsValidValueName(Name)) {
    try {
      ChangeTree([&](TRegKeyNode& root) {
        TRegKeyNode* key = root.Find(key_.Names);
        if (!key) return false;
        done = true;
        // An unchanged value needs no new file.
        const TRegValue* old = key->FindValue(Name);
        if (old && old->Type == Type && old->Data == Data) return false;
        key->SetValue(TRegValue{Name, Type, std::move(Data)});
        return true;
      });
    } catch (const EInOutError& e) {
      done = false;
      reason = e.Message();
    }
  }
  if (!done) RaiseRegistryError(kRegSetDataFailedText, Name, reason);
}

std::string TRegistry::ReadString(const std::string& Name) {
  TRegValue value;
  if (!Fetch(Name, value) || value.Data.empty()) return {};
  if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ) RaiseRegistryError(kRegInvalidDataTypeText, Name);
  return DataText(value.Data);
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  PutData(Name, StringData(Value), REG_SZ);
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) {
  PutData(Name, StringData(Value), REG_EXPAND_SZ);
}

int TRegistry::ReadInteger(const std::string& Name) {
  return static_cast<int32_t>(DataDword(FetchFixed(Name, 4, REG_DWORD)));
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
  PutData(Name, DwordData(static_cast<uint32_t>(Value)), REG_DWORD);
}

bool TRegistry::ReadBool(const std::string& Name) { return ReadInteger(Name) != 0; }

void TRegistry::WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

double TRegistry::ReadFloat(const std::string& Name) {
  return FromBytes<double>(FetchFixed(Name, sizeof(double), REG_BINARY));
}

void TRegistry::WriteFloat(const std::string& Name, double Value) { PutData(Name, BytesOf(Value), REG_BINARY); }

Currency TRegistry::ReadCurrency(const std::string& Name) {
  return Currency::FromRaw(FromBytes<int64_t>(FetchFixed(Name, sizeof(int64_t), REG_BINARY)));
}

void TRegistry::WriteCurrency(const std::string& Name, Currency Value) {
  PutData(Name, BytesOf(Value.Raw()), REG_BINARY);
}

TDateTime TRegistry::ReadDateTime(const std::string& Name) {
  return FromBytes<TDateTime>(FetchFixed(Name, sizeof(TDateTime), REG_BINARY));
}

void TRegistry::WriteDateTime(const std::string& Name, TDateTime Value) { PutData(Name, BytesOf(Value), REG_BINARY); }

int TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int BufSize) {
  TRegValue value;
  if (!Fetch(Name, value)) return 0;
  const bool binary = DataTypeOf(value.Type) == rdBinary || DataTypeOf(value.Type) == rdUnknown;
  if (!binary || BufSize < 0 || value.Data.size() > static_cast<size_t>(BufSize))
    RaiseRegistryError(kRegInvalidDataTypeText, Name);
  if (!value.Data.empty()) std::memcpy(Buffer, value.Data.data(), value.Data.size());
  return static_cast<int>(value.Data.size());
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize) {
  if (BufSize < 0) RaiseRegistryError(kRegSetDataFailedText, Name);
  PutData(Name, std::string(static_cast<const char*>(Buffer), static_cast<size_t>(BufSize)), REG_BINARY);
}

void TRegistry::ReadMultiString(const std::string& Name, TStrings& Strings) {
  TRegValue value;
  if (!Fetch(Name, value)) return SetLines(Strings, {});
  if (value.Type != REG_MULTI_SZ) RaiseRegistryError(kRegInvalidDataTypeText, Name);
  SetLines(Strings, DataTexts(value.Data));
}

void TRegistry::WriteMultiString(const std::string& Name, const TStrings& Strings) {
  PutData(Name, MultiStringData(LinesOf(Strings)), REG_MULTI_SZ);
}
