#include "crashreport/zorExceptFixture.h"

#include "crashreport/zorCrypt.h"
#include "crashreport/zorExceptSettings.h"
#include "platform/classes/Component.h"
#include "platform/classes/Writer.h"
#include "platform/core/Streams.h"

namespace zortest {

namespace {

// A root whose property list is exactly the given properties.
class SettingsRoot : public TComponent {
 public:
  explicit SettingsRoot(const std::vector<Property>& properties) : TComponent(nullptr), properties_(properties) {}

  void DefineProperties(TFiler* Filer) override {
    TComponent::DefineProperties(Filer);
    for (const Property& p : properties_) {
      Filer->DefineProperty(
          p.name, nullptr,
          [&p](TWriter& Writer) {
            if (const auto* i = std::get_if<int64_t>(&p.value))
              Writer.WriteInteger(*i);
            else if (const auto* b = std::get_if<bool>(&p.value))
              Writer.WriteBoolean(*b);
            else
              Writer.WriteString(std::get<std::string>(p.value));
          },
          true);
    }
  }

 private:
  const std::vector<Property>& properties_;
};

// Pads with n bytes of value n and enciphers in counter mode.
std::string PadAndEncipher(std::string text, std::string_view key, uint32_t counter) {
  text.append(8 - text.size() % 8, static_cast<char>(8 - text.size() % 8));
  zor::BlowfishBuffer(reinterpret_cast<uint8_t*>(text.data()), text.size(), true, false, counter, 0, key);
  return text;
}

}  // namespace

std::string WriteSettingsResource(const std::vector<Property>& properties) {
  SettingsRoot root(properties);
  root.SetName("zorExcept");
  TMemoryStream stream;
  TWriter writer(stream);
  writer.OnRootClassName = [](TWriter*, TComponent*, std::string& ClassName) { ClassName = "TZorExcept"; };
  writer.WriteRootComponent(&root);
  const auto& bytes = stream.Bytes();
  return std::string(bytes.begin(), bytes.end());
}

std::string Header() { return std::string(zor::kSettingsHeader, zor::kSettingsHeaderSize); }

std::string Record(std::string_view name, uint8_t type, std::string_view valueBytes) {
  std::string r(1, static_cast<char>(name.size()));
  r.append(name);
  r += static_cast<char>(type);
  r.append(valueBytes);
  return r;
}

std::string LittleEndian32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string StoredPassword(std::string_view plain, std::string_view account, std::string_view server) {
  return zor::Base64EncodeText(
      PadAndEncipher(PadAndEncipher(std::string(plain), account, 0x6E2B08D4), server, 0x3C9A51E7));
}

MessageRecorder::MessageRecorder() {
  previous_ = zor::SetReporterMessageSink([this](std::string_view caption, std::string_view text) {
    texts.push_back(std::string(caption) + ": " + std::string(text));
  });
}

MessageRecorder::~MessageRecorder() { zor::SetReporterMessageSink(previous_); }

}  // namespace zortest
