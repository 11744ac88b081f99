// The main menu's bar and the shortcut texts.
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <cctype>

#include "platform/controls/Menus.h"

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() {
  // The bar belongs to its window; it must not keep our actions.
  barWatch_.reset();  // ends the watch on the bar first
  if (bar_) bar_->clear();
}

QMenuBar* TMainMenu::MenuBar(QWidget* Window) {
  if (!bar_) {
    bar_ = new QMenuBar(Window);
    // Forget the bar when its window deletes it.
    barWatch_ = std::make_unique<QObject>();
    QObject::connect(bar_, &QObject::destroyed, barWatch_.get(), [this] { bar_ = nullptr; });
  } else {
    bar_->setParent(Window);
  }
  ItemsChanged();
  return bar_;
}

void TMainMenu::ItemsChanged() {
  if (!bar_) return;
  bar_->clear();
  for (int i = 0; i < Items()->Count(); ++i) bar_->addAction(Items()->Items(i)->Action());
}

// ---- Shortcut texts ----

namespace {

struct KeyName {
  std::uint16_t VK;
  const char* Name;
};

constexpr KeyName kKeyNames[] = {
    {VK_BACK, "Backspace"}, {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},  {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},     {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},   {VK_LEFT, "Left"},
    {VK_UP, "Up"},          {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},  {VK_DELETE, "Del"},
    {VK_OEM_1, ";"},        {VK_OEM_PLUS, "="},  {VK_OEM_COMMA, ","},  {VK_OEM_MINUS, "-"}, {VK_OEM_PERIOD, "."},
    {VK_OEM_2, "/"},        {VK_OEM_3, "`"},     {VK_OEM_4, "["},      {VK_OEM_5, "\\"},    {VK_OEM_6, "]"},
    {VK_OEM_7, "'"},
};

constexpr struct {
  TShortCut Bit;
  const char* Prefix;
} kModifiers[] = {{0x2000, "Shift+"}, {0x4000, "Ctrl+"}, {0x8000, "Alt+"}};

std::string KeyText(std::uint16_t VK) {
  if ((VK >= 'A' && VK <= 'Z') || (VK >= '0' && VK <= '9')) return std::string(1, static_cast<char>(VK));
  if (VK >= VK_F1 && VK < VK_F1 + 24) return "F" + std::to_string(VK - VK_F1 + 1);
  if (VK >= VK_NUMPAD0 && VK <= VK_NUMPAD0 + 9) return "Num " + std::to_string(VK - VK_NUMPAD0);
  for (const KeyName& k : kKeyNames)
    if (k.VK == VK) return k.Name;
  return {};
}

bool SameText(const std::string& A, std::string_view B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

std::string ShortCutToText(TShortCut Value) {
  const std::string key = KeyText(Value & 0xFF);
  if (key.empty()) return {};
  std::string text;
  for (const auto& m : kModifiers)
    if (Value & m.Bit) text += m.Prefix;
  return text + key;
}

TShortCut TextToShortCut(const std::string& Text) {
  std::string rest = Text;
  TShortCut value = 0;
  for (bool found = true; found;) {
    found = false;
    for (const auto& m : kModifiers) {
      const std::string_view prefix = m.Prefix;
      if (rest.size() > prefix.size() && SameText(rest.substr(0, prefix.size()), prefix)) {
        value |= m.Bit;
        rest.erase(0, prefix.size());
        found = true;
      }
    }
  }
  for (int vk = 1; vk <= 0xFF; ++vk) {
    const std::string name = KeyText(static_cast<std::uint16_t>(vk));
    if (!name.empty() && SameText(rest, name)) return static_cast<TShortCut>(value | vk);
  }
  return 0;
}

QKeySequence ShortCutToKeySequence(TShortCut Value) {
  const int key = QtKeyOfVirtualKey(Value & 0xFF);
  if (!key) return {};
  Qt::KeyboardModifiers modifiers;
  if (Value & 0x2000) modifiers |= Qt::ShiftModifier;
  if (Value & 0x4000) modifiers |= Qt::ControlModifier;
  if (Value & 0x8000) modifiers |= Qt::AltModifier;
  return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key)));
}
