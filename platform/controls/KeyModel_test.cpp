#include "platform/controls/KeyModel.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <cstdio>
#include <string>

namespace {

// "down:VK/shift" for a key message (sys for a system key, up for a
// release), "ch:code" for a character; space-separated, in hex.
std::string Sequence(const std::vector<TKeyMessage>& messages) {
  std::string text;
  char item[48];
  for (const TKeyMessage& m : messages) {
    if (m.Msg == WM_CHAR) {
      std::snprintf(item, sizeof item, "ch:%X", static_cast<unsigned>(m.WParam));
    } else {
      const char* kind = m.Msg == WM_KEYDOWN      ? "down"
                         : m.Msg == WM_SYSKEYDOWN ? "sysdown"
                         : m.Msg == WM_KEYUP      ? "up"
                                                  : "sysup";
      std::snprintf(item, sizeof item, "%s:%X/%X", kind, static_cast<unsigned>(m.WParam),
                    ShiftByte(KeyDataToShiftState(m.LParam)));
    }
    if (!text.empty()) text += ' ';
    text += item;
  }
  return text;
}

struct KeyRow {
  const char* name;
  QEvent::Type type;
  int key;
  Qt::KeyboardModifiers modifiers;
  const char* text;  // UTF-8
  quint32 scanCode;  // X key code, 0 for none
  bool autoRepeat;
  const char* sequence;
};

TEST(KeyModel, TranslatesQtKeyEventsToKeysAndCharacters) {
  const Qt::KeyboardModifiers none;
  const KeyRow rows[] = {
      {"Enter", QEvent::KeyPress, Qt::Key_Return, none, "\r", 36, false, "down:D/0 ch:D"},
      {"keypad Enter", QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier, "\r", 104, false, "down:D/0 ch:D"},
      {"Ctrl+Enter types a line feed", QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier, "\r", 36, false,
       "down:D/4 ch:A"},
      {"Esc", QEvent::KeyPress, Qt::Key_Escape, none, "\x1b", 9, false, "down:1B/0 ch:1B"},
      {"Ctrl+C (X11 text)", QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, "\x03", 54, false, "down:43/4 ch:3"},
      {"Ctrl+C (letter text)", QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, "c", 0, false, "down:43/4 ch:3"},
      {"Shift+Tab", QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier, "", 23, false, "down:9/1 ch:9"},
      {"Backtab without Shift reported", QEvent::KeyPress, Qt::Key_Backtab, none, "", 0, false, "down:9/1 ch:9"},
      {"Ctrl+Tab types nothing", QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier, "\t", 23, false, "down:9/4"},
      {"numpad 5", QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier, "5", 84, false, "down:65/0 ch:35"},
      {"numpad *", QEvent::KeyPress, Qt::Key_Asterisk, Qt::KeypadModifier, "*", 63, false, "down:6A/0 ch:2A"},
      {"numpad Home (Num Lock off)", QEvent::KeyPress, Qt::Key_Home, Qt::KeypadModifier, "", 79, false, "down:24/0"},
      {"AltGr+Q types @", QEvent::KeyPress, Qt::Key_At, Qt::GroupSwitchModifier, "@", 24, false, "down:51/6 ch:40"},
      {"AltGr without a group flag", QEvent::KeyPress, Qt::Key_At, none, "@", 24, false, "down:51/0 ch:40"},
      {"Ctrl+Shift+1 is key 1 (US)", QEvent::KeyPress, Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier, "", 0,
       false, "down:31/5"},
      {"Ctrl+Shift+1 is key 1 (other layout)", QEvent::KeyPress, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier,
       "", 10, false, "down:31/5"},
      {"Shift+A", QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, "A", 38, false, "down:41/1 ch:41"},
      {"e acute on the 2 key", QEvent::KeyPress, Qt::Key_Eacute, none, "\xc3\xa9", 11, false, "down:32/0 ch:E9"},
      {"e acute without a key code", QEvent::KeyPress, Qt::Key_Eacute, none, "\xc3\xa9", 0, false, "down:E7/0 ch:E9"},
      {"Alt+F is a system key", QEvent::KeyPress, Qt::Key_F, Qt::AltModifier, "f", 41, false, "sysdown:46/2"},
      {"F10 is a system key", QEvent::KeyPress, Qt::Key_F10, none, "", 76, false, "sysdown:79/0"},
      {"Delete types nothing", QEvent::KeyPress, Qt::Key_Delete, none, "\x7f", 119, false, "down:2E/0"},
      {"Backspace", QEvent::KeyPress, Qt::Key_Backspace, none, "\b", 22, false, "down:8/0 ch:8"},
      {"release", QEvent::KeyRelease, Qt::Key_A, none, "a", 38, false, "up:41/0"},
      {"Alt release", QEvent::KeyRelease, Qt::Key_F, Qt::AltModifier, "f", 41, false, "sysup:46/2"},
      {"auto-repeated release is no key", QEvent::KeyRelease, Qt::Key_A, none, "a", 38, true, ""},
      {"unknown key without text", QEvent::KeyPress, Qt::Key_unknown, none, "", 0, false, ""},
  };
  for (const KeyRow& row : rows) {
    SCOPED_TRACE(row.name);
    const QKeyEvent event(row.type, row.key, row.modifiers, row.scanCode, 0, 0, QString::fromUtf8(row.text),
                          row.autoRepeat);
    EXPECT_EQ(Sequence(TranslateKey(event)), row.sequence);
  }
}

TEST(KeyModel, KeyDataCarriesShiftRepeatAndRelease) {
  const std::intptr_t data = MakeKeyData({ssShift, ssCtrl, ssAlt}, 0x1A2, true, true);
  EXPECT_EQ(KeyDataToShiftState(data), (TShiftState{ssShift, ssCtrl, ssAlt}));
  EXPECT_EQ(data & 0xFFFF, 1);
  EXPECT_EQ((data >> 16) & 0xFF, 0xA2);
  EXPECT_NE(data & (std::intptr_t{1} << 30), 0);
  EXPECT_NE(data & (std::intptr_t{1} << 31), 0);
  EXPECT_GT(data, 0);  // 32 bits, never sign-extended
}

TEST(KeyModel, DialogCodesAndShortcutsFollowTheKeys) {
  EXPECT_EQ(DialogCodeNeeded(VK_TAB), DLGC_WANTTAB);
  EXPECT_EQ(DialogCodeNeeded(VK_DOWN), DLGC_WANTARROWS);
  EXPECT_EQ(DialogCodeNeeded(VK_RETURN), DLGC_WANTALLKEYS);
  EXPECT_EQ(DialogCodeNeeded(VK_ESCAPE), DLGC_WANTALLKEYS);
  EXPECT_EQ(DialogCodeNeeded('A'), 0);
  EXPECT_EQ(ShortCut('S', {ssCtrl}), 0x4053);
  EXPECT_EQ(ShortCut(VK_F1, {ssShift, ssAlt}), 0xA070);
  std::uint16_t vk = 0;
  TShiftState shift;
  ShortCutToKey(0x6041, vk, shift);
  EXPECT_EQ(vk, 'A');
  EXPECT_EQ(shift, (TShiftState{ssShift, ssCtrl}));
}

TEST(KeyModel, CurrentShiftStateFollowsTheLastNotedModifiers) {
  NoteKeyboardModifiers(Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_EQ(CurrentShiftState(), (TShiftState{ssShift, ssAlt}));
  NoteKeyboardModifiers({});
  EXPECT_TRUE(CurrentShiftState().Empty());
}

}  // namespace
