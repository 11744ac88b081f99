// Assistants of the settings, and the values remembered from their forms.
#include "crashreport/zorExceptFields.h"
#include "crashreport/zorExceptKeys.h"
#include "crashreport/zorExceptObject.h"
#include "crashreport/zorExcept_p.h"
#include "crashreport/zorNVAssistant.h"
#include "crashreport/zorStrings.h"

namespace zor {

namespace {

ReplaceableFunction<AssistantBuilder>& Builder() {
  static ReplaceableFunction<AssistantBuilder> builder;
  return builder;
}

bool RemembersValue(const INVItem& item) {
  return item.Kind() == AssistantItemKind::Edit || item.Kind() == AssistantItemKind::CheckBox;
}

}  // namespace

AssistantBuilder SetAssistantBuilder(AssistantBuilder builder) { return Builder().Replace(std::move(builder)); }

std::shared_ptr<INVWizard> BuildAssistantFromResources(const ZorModule& module, const std::string& title,
                                                       const std::vector<std::string>& formNames,
                                                       const std::shared_ptr<IZEException>& exception) {
  const AssistantBuilder builder = Builder().Get();
  return builder ? builder(module, title, formNames, exception) : nullptr;
}

std::shared_ptr<INVWizard> TIZESettings::CreateAssistant(std::string_view name) {
  std::string value;
  for (int n = 1;; ++n) {
    value = ReadText(AssistantKey(n));
    if (value.empty()) return nullptr;
    if (EqualNoCase(ItemOf(value, 1, '|'), name)) break;
  }
  const auto* event = dynamic_cast<const IZEException*>(this);
  if ((event && !event->WantScreenPicture()) || ReadInt("ScrShotDepth") == 0) {
    value = "|" + value + "|";
    ReplaceNoCase(value, "|ScrShotForm|", "|", false);
    NormalizeList(value, '|');
  }
  std::vector<std::string> forms;
  for (size_t i = 3; i <= ItemCount(value, '|'); ++i) forms.push_back(ItemOf(value, i, '|'));
  std::shared_ptr<INVWizard> assistant =
      BuildAssistantFromResources(module_, ItemOf(value, 2, '|'), forms, AsException());
  if (assistant) RestoreFormValues(*assistant);
  return assistant;
}

void TIZESettings::StoreFormValues(INVWizard& assistant) {
  std::shared_ptr<TIZEFields> cache;
  {
    std::lock_guard lock(extrasMutex_);
    if (!formCache_) formCache_ = TIZEFields::NewEnabled();
    cache = formCache_;
  }
  for (int f = 0; f < assistant.FormCount(); ++f) {
    const std::shared_ptr<INVForm> form = assistant.FormAt(f);
    if (!form || form->ModalResult() != 1) continue;
    for (int i = 0; i < form->ItemCount(); ++i) {
      const std::shared_ptr<INVItem> item = form->ItemAt(i);
      if (!item) continue;
      if (item->Kind() == AssistantItemKind::Edit)
        cache->SetValue(item->Name(), item->Text());
      else if (item->Kind() == AssistantItemKind::CheckBox)
        cache->SetValue(item->Name(), std::string(1, BoolSign(item->Checked())));
    }
  }
}

void TIZESettings::RestoreFormValues(INVWizard& assistant) {
  std::shared_ptr<TIZEFields> cache;
  {
    std::lock_guard lock(extrasMutex_);
    cache = formCache_;
  }
  if (!cache) return;
  for (int f = 0; f < assistant.FormCount(); ++f) {
    const std::shared_ptr<INVForm> form = assistant.FormAt(f);
    if (!form) continue;
    int restored = 0;
    bool missing = false;
    for (int i = 0; i < form->ItemCount(); ++i) {
      const std::shared_ptr<INVItem> item = form->ItemAt(i);
      if (!item || !RemembersValue(*item)) continue;
      const int32_t index = cache->IndexOfName(item->Name());
      if (index < 0) {
        missing = true;
        continue;
      }
      const std::string value = cache->ValueOf(item->Name());
      if (item->Kind() == AssistantItemKind::Edit)
        item->SetText(value);
      else
        item->SetChecked(value == "+");
      ++restored;
    }
    if (restored > 0 && !missing && form->ContinueButtonEnabled()) form->SetActiveControl(kContinueButtonName);
  }
}

}  // namespace zor
