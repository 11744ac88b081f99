#include "platform/graphics/GraphicsObjects.h"

#include <mutex>
#include <variant>
#include <vector>

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/GraphicsNames.h"
#include "platform/graphics/GraphicsTypeInfo.h"

namespace {

// Descriptions by handle (handle = index + 1); found again by value, so that
// equal descriptions share a handle. Few distinct fonts, pens and brushes
// exist in a run, so a list searched in order is enough.
using Description = std::variant<LogFont, LogPen, LogBrush>;

struct HandleTable {
  std::mutex mutex;
  std::vector<Description> entries;
};

HandleTable& Table() {
  static HandleTable* table = new HandleTable;  // outlives static destructors
  return *table;
}

TGraphicsHandle Intern(const Description& d) {
  HandleTable& t = Table();
  std::lock_guard lock(t.mutex);
  for (std::size_t i = 0; i < t.entries.size(); ++i)
    if (t.entries[i] == d) return static_cast<TGraphicsHandle>(i + 1);
  t.entries.push_back(d);
  return static_cast<TGraphicsHandle>(t.entries.size());
}

template <class T>
T Lookup(TGraphicsHandle handle) {
  HandleTable& t = Table();
  std::lock_guard lock(t.mutex);
  if (handle == 0 || handle > t.entries.size()) throw EInvalidOperation("Invalid graphics handle");
  const T* d = std::get_if<T>(&t.entries[handle - 1]);
  if (!d) throw EInvalidOperation("Invalid graphics handle");
  return *d;
}

void DescribeTFont(TClassInfo& Info) {
  RegisterGraphicsNames();
  using F = TFont;
  namespace T = TypeInfos;
  TClassPublisher<F> p(Info);
  p.Property<&F::Charset, &F::SetCharset>("Charset", T::TFontCharset());
  p.Property<&F::Color, &F::SetColor>("Color", T::TColor());
  p.Property<&F::Height, &F::SetHeight>("Height", T::Integer());
  p.Property<&F::Name, &F::SetName>("Name", T::TFontName());
  p.Property<&F::Pitch, &F::SetPitch>("Pitch", T::TFontPitch()).Default(TFontPitch::fpDefault);
  p.Property<&F::Size, &F::SetSize>("Size", T::Integer()).Stored(false);
  p.Property<&F::Style, &F::SetStyle>("Style", T::TFontStyles());
}

void DescribeTPen(TClassInfo& Info) {
  RegisterGraphicsNames();
  using P = TPen;
  namespace T = TypeInfos;
  TClassPublisher<P> p(Info);
  p.Property<&P::Color, &P::SetColor>("Color", T::TColor()).Default(clBlack);
  p.Property<&P::Mode, &P::SetMode>("Mode", T::TPenMode()).Default(TPenMode::pmCopy);
  p.Property<&P::Style, &P::SetStyle>("Style", T::TPenStyle()).Default(TPenStyle::psSolid);
  p.Property<&P::Width, &P::SetWidth>("Width", T::Integer()).Default(1);
}

void DescribeTBrush(TClassInfo& Info) {
  RegisterGraphicsNames();
  using B = TBrush;
  namespace T = TypeInfos;
  TClassPublisher<B> p(Info);
  p.Property<&B::Color, &B::SetColor>("Color", T::TColor()).Default(clWhite);
  p.Property<&B::Style, &B::SetStyle>("Style", T::TBrushStyle()).Default(TBrushStyle::bsSolid);
}

}  // namespace

KESTOVA_CLASS_INFO(TGraphicsObject, TPersistent, "Graphics", nullptr)
KESTOVA_CLASS_INFO_DESCRIBED(TFont, TGraphicsObject, "Graphics", &MakeObject<TFont>, DescribeTFont)
KESTOVA_CLASS_INFO_DESCRIBED(TPen, TGraphicsObject, "Graphics", &MakeObject<TPen>, DescribeTPen)
KESTOVA_CLASS_INFO_DESCRIBED(TBrush, TGraphicsObject, "Graphics", &MakeObject<TBrush>, DescribeTBrush)

LogFont FontOfHandle(TGraphicsHandle handle) { return Lookup<LogFont>(handle); }
LogPen PenOfHandle(TGraphicsHandle handle) { return Lookup<LogPen>(handle); }
LogBrush BrushOfHandle(TGraphicsHandle handle) { return Lookup<LogBrush>(handle); }

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TFont ----

void TFont::SetData(const TFontData& data) { Update(data_, data); }

void TFont::Assign(const TPersistent* Source) {
  if (const auto* font = dynamic_cast<const TFont*>(Source)) return SetData(font->data_);
  TGraphicsObject::Assign(Source);
}

TGraphicsHandle TFont::Handle() const { return Intern(LogFontOf(data_)); }

void TFont::SetColor(TColor value) { Update(data_.Color, value); }
void TFont::SetHeight(std::int32_t value) { Update(data_.Height, value); }
void TFont::SetSize(std::int32_t points) {
  TFontData d = data_;
  d.SetSize(points);
  SetData(d);
}
void TFont::SetName(const std::string& value) { Update(data_.Name, value); }
void TFont::SetStyle(TFontStyles value) { Update(data_.Style, value); }
void TFont::SetPitch(TFontPitch value) { Update(data_.Pitch, value); }
void TFont::SetCharset(std::uint8_t value) { Update(data_.Charset, value); }
void TFont::SetPixelsPerInch(std::int32_t value) { Update(data_.PixelsPerInch, value); }

// ---- TPen ----

void TPen::SetData(const TPenData& data) { Update(data_, data); }

void TPen::Assign(const TPersistent* Source) {
  if (const auto* pen = dynamic_cast<const TPen*>(Source)) return SetData(pen->data_);
  TGraphicsObject::Assign(Source);
}

TGraphicsHandle TPen::Handle() const {
  return Intern(SimpleLogPen(PenDashStyleOf(data_.Style), data_.Width, data_.Color));
}

void TPen::SetColor(TColor value) { Update(data_.Color, value); }
void TPen::SetMode(TPenMode value) { Update(data_.Mode, value); }
void TPen::SetStyle(TPenStyle value) { Update(data_.Style, value); }
void TPen::SetWidth(std::int32_t value) { Update(data_.Width, value); }

// ---- TBrush ----

void TBrush::SetData(const TBrushData& data) { Update(data_, data); }

void TBrush::Assign(const TPersistent* Source) {
  if (const auto* brush = dynamic_cast<const TBrush*>(Source)) return SetData(brush->data_);
  TGraphicsObject::Assign(Source);
}

TGraphicsHandle TBrush::Handle() const { return Intern(LogBrushOf(data_.Style, data_.Color)); }

void TBrush::SetColor(TColor value) { Update(data_.Color, value); }
void TBrush::SetStyle(TBrushStyle value) { Update(data_.Style, value); }
