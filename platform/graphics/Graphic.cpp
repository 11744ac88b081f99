#include "platform/graphics/Graphic.h"

#include <algorithm>

#include "platform/core/StrUtils.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/ImageGraphic.h"

std::size_t TGraphic::ReadData(std::span<const std::uint8_t> data) {
  LoadFromBytes(data);
  return data.size();
}

void TGraphic::WriteData(std::vector<std::uint8_t>& out) const {
  const std::vector<std::uint8_t> bytes = SaveToBytes();
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void TGraphic::Draw(TCanvas&, const Rect&) const {}

namespace {
std::vector<TGraphicClass>& Registry() {
  static std::vector<TGraphicClass> classes = {
      {"TBitmap", {"bmp"}, "Bitmaps", [] { return std::make_unique<TBitmap>(); }},
      {"TIcon", {"ico"}, "Icons", [] { return std::make_unique<TIcon>(); }},
      {"TPngImage", {"png"}, "PNG images", [] { return std::make_unique<TPngImage>(); }},
      {"TJPEGImage", {"jpg", "jpeg"}, "JPEG images", [] { return std::make_unique<TJPEGImage>(); }},
      {"TMetafile", {"emf", "wmf"}, "Metafiles", [] { return std::make_unique<TMetafile>(); }},
  };
  return classes;
}

std::vector<TGraphicClass>::iterator FindByName(std::string_view name) {
  auto& classes = Registry();
  return std::find_if(classes.begin(), classes.end(), [&](const TGraphicClass& c) { return SameText(c.Name, name); });
}
}  // namespace

void RegisterGraphicClass(TGraphicClass graphicClass) {
  const auto found = FindByName(graphicClass.Name);
  if (found != Registry().end())
    *found = std::move(graphicClass);
  else
    Registry().push_back(std::move(graphicClass));
}

void UnregisterGraphicClass(std::string_view name) {
  const auto found = FindByName(name);
  if (found != Registry().end()) Registry().erase(found);
}

const TGraphicClass* FindGraphicClass(std::string_view name) {
  const auto found = FindByName(name);
  return found == Registry().end() ? nullptr : &*found;
}

const TGraphicClass* GraphicClassOfExtension(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  for (const TGraphicClass& c : Registry())
    for (const std::string& e : c.Extensions)
      if (SameText(e, extension)) return &c;
  return nullptr;
}

std::string GraphicFilter() {
  std::string all;
  std::string each;
  for (const TGraphicClass& c : Registry()) {
    std::string masks;
    for (const std::string& e : c.Extensions) masks += (masks.empty() ? "*." : ";*.") + e;
    if (masks.empty()) continue;
    all += (all.empty() ? "" : ";") + masks;
    each += "|" + c.Description + " (" + masks + ")|" + masks;
  }
  return "All (" + all + ")|" + all + each;
}
