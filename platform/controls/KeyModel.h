#pragma once
// The key model: what a Qt key event means to the controls.
//
// Controls see keys as the class library did: a 16-bit virtual-key code and
// a shift state on key-down and key-up, then, for a key that makes text, a
// character phase with one message per character. TranslateKey turns one Qt
// key event into that sequence; the window of a TWinControl sends it through
// the control's WindowProc (see Controls.h for the order of the phases).
//
// Virtual keys: letters are the layout's letter ('A'..'Z'); the digit row,
// the punctuation keys and the keys reached with AltGr are the physical key
// ('1' for Shift+1 and for Ctrl+Shift+1 whatever the layout prints there),
// taken from the X key code when the event has one and otherwise from the
// US layout's shifted symbols. The numeric keypad has its own codes while it
// types digits.
//
// Shift state (TShiftState, one byte): bit 0 Shift, 1 Alt, 2 Ctrl, 3..5 the
// left, right and middle mouse button, 6 double click. AltGr counts as
// Ctrl+Alt, as on the original platform, but its character still comes.
//
// Characters are code points. Ctrl with a letter gives the control
// character (Ctrl+C = 3); Enter gives 13, Ctrl+Enter 10, Esc 27, Tab and
// Shift+Tab 9, Backspace 8. Alt combinations give no character (they are
// system keys, sent as WM_SYSKEYDOWN, as is F10). Auto-repeated key-ups are
// not keys at all and translate to nothing.

#include <Qt>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/Messages.h"
#include "platform/core/Set.h"

class QKeyEvent;

enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

// The shift state as its byte.
inline std::uint8_t ShiftByte(TShiftState Shift) { return static_cast<std::uint8_t>(Shift.Bits()); }

// ---- Virtual-key codes ----

inline constexpr std::uint16_t VK_LBUTTON = 0x01;
inline constexpr std::uint16_t VK_RBUTTON = 0x02;
inline constexpr std::uint16_t VK_CANCEL = 0x03;
inline constexpr std::uint16_t VK_MBUTTON = 0x04;
inline constexpr std::uint16_t VK_BACK = 0x08;
inline constexpr std::uint16_t VK_TAB = 0x09;
inline constexpr std::uint16_t VK_CLEAR = 0x0C;
inline constexpr std::uint16_t VK_RETURN = 0x0D;
inline constexpr std::uint16_t VK_SHIFT = 0x10;
inline constexpr std::uint16_t VK_CONTROL = 0x11;
inline constexpr std::uint16_t VK_MENU = 0x12;  // Alt
inline constexpr std::uint16_t VK_PAUSE = 0x13;
inline constexpr std::uint16_t VK_CAPITAL = 0x14;
inline constexpr std::uint16_t VK_ESCAPE = 0x1B;
inline constexpr std::uint16_t VK_SPACE = 0x20;
inline constexpr std::uint16_t VK_PRIOR = 0x21;
inline constexpr std::uint16_t VK_NEXT = 0x22;
inline constexpr std::uint16_t VK_END = 0x23;
inline constexpr std::uint16_t VK_HOME = 0x24;
inline constexpr std::uint16_t VK_LEFT = 0x25;
inline constexpr std::uint16_t VK_UP = 0x26;
inline constexpr std::uint16_t VK_RIGHT = 0x27;
inline constexpr std::uint16_t VK_DOWN = 0x28;
inline constexpr std::uint16_t VK_SELECT = 0x29;
inline constexpr std::uint16_t VK_PRINT = 0x2A;
inline constexpr std::uint16_t VK_EXECUTE = 0x2B;
inline constexpr std::uint16_t VK_SNAPSHOT = 0x2C;
inline constexpr std::uint16_t VK_INSERT = 0x2D;
inline constexpr std::uint16_t VK_DELETE = 0x2E;
inline constexpr std::uint16_t VK_HELP = 0x2F;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
inline constexpr std::uint16_t VK_LWIN = 0x5B;
inline constexpr std::uint16_t VK_RWIN = 0x5C;
inline constexpr std::uint16_t VK_APPS = 0x5D;
inline constexpr std::uint16_t VK_NUMPAD0 = 0x60;  // ..VK_NUMPAD9 = 0x69
inline constexpr std::uint16_t VK_MULTIPLY = 0x6A;
inline constexpr std::uint16_t VK_ADD = 0x6B;
inline constexpr std::uint16_t VK_SEPARATOR = 0x6C;
inline constexpr std::uint16_t VK_SUBTRACT = 0x6D;
inline constexpr std::uint16_t VK_DECIMAL = 0x6E;
inline constexpr std::uint16_t VK_DIVIDE = 0x6F;
inline constexpr std::uint16_t VK_F1 = 0x70;  // ..VK_F24 = 0x87
inline constexpr std::uint16_t VK_F10 = 0x79;
inline constexpr std::uint16_t VK_NUMLOCK = 0x90;
inline constexpr std::uint16_t VK_SCROLL = 0x91;
inline constexpr std::uint16_t VK_OEM_1 = 0xBA;  // ;:
inline constexpr std::uint16_t VK_OEM_PLUS = 0xBB;
inline constexpr std::uint16_t VK_OEM_COMMA = 0xBC;
inline constexpr std::uint16_t VK_OEM_MINUS = 0xBD;
inline constexpr std::uint16_t VK_OEM_PERIOD = 0xBE;
inline constexpr std::uint16_t VK_OEM_2 = 0xBF;  // /?
inline constexpr std::uint16_t VK_OEM_3 = 0xC0;  // `~
inline constexpr std::uint16_t VK_OEM_4 = 0xDB;  // [{
inline constexpr std::uint16_t VK_OEM_5 = 0xDC;  // \|
inline constexpr std::uint16_t VK_OEM_6 = 0xDD;  // ]}
inline constexpr std::uint16_t VK_OEM_7 = 0xDE;  // '"
inline constexpr std::uint16_t VK_OEM_102 = 0xE2;
// A key that types a character but has no code of its own here (a letter
// of another alphabet on a layout without an X key code to go by).
inline constexpr std::uint16_t VK_PACKET = 0xE7;

// ---- Dialog codes (answers to WM_GETDLGCODE) ----

inline constexpr std::intptr_t DLGC_WANTARROWS = 0x01;
inline constexpr std::intptr_t DLGC_WANTTAB = 0x02;
inline constexpr std::intptr_t DLGC_WANTALLKEYS = 0x04;  // Enter and Esc too
inline constexpr std::intptr_t DLGC_HASSETSEL = 0x08;
inline constexpr std::intptr_t DLGC_WANTCHARS = 0x80;

// The dialog code a control must answer to get VK itself rather than leave it
// to the form: DLGC_WANTTAB for Tab, DLGC_WANTARROWS for the arrows,
// DLGC_WANTALLKEYS for Enter, Esc and Cancel; 0 for every other key, which a
// control always gets.
std::intptr_t DialogCodeNeeded(std::uint16_t VK);

// True for the keys that only modify others: Shift, Ctrl, Alt and the
// Windows keys.
bool IsModifierKey(std::uint16_t VK);

// ---- Key data (LParam of the key messages) ----

// Bits 0..15 repeat count (1), 16..23 the low byte of the scan code, 25
// Shift and 26 Ctrl (this program's addition, so that a handler needs no
// keyboard query), 29 Alt, 30 the key was already down (auto-repeat), 31
// the key is being released.
std::intptr_t MakeKeyData(TShiftState Shift, std::uint32_t ScanCode, bool Repeat, bool Release);
TShiftState KeyDataToShiftState(std::intptr_t KeyData);

// ---- Translation ----

// One message of a key's sequence: a key message (WM_KEYDOWN, WM_SYSKEYDOWN,
// WM_KEYUP, WM_SYSKEYUP) with WParam the virtual key, or WM_CHAR with WParam
// the character; LParam is the key data.
struct TKeyMessage {
  TMessageNumber Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  friend bool operator==(const TKeyMessage&, const TKeyMessage&) = default;
};

// The virtual key of a Qt key (Qt::Key), with the keypad flag and the X key
// code (0: none); 0 for a key that has no code (it may still type: see
// TranslateKey).
std::uint16_t VirtualKeyOf(int QtKey, bool Keypad, std::uint32_t ScanCode);
// Shift, Alt and Ctrl of Qt modifiers; AltGr (Qt::GroupSwitchModifier) is
// Ctrl+Alt. Mouse buttons and double click come from the mouse messages.
TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers);
// The characters a press of VK with Shift and Qt's text types (see above).
std::u32string KeyCharacters(std::uint16_t VK, TShiftState Shift, bool AltGr, const std::u32string& Text);

// The message sequence of one Qt key press or release: the key message, then
// for a press the characters. A key without a code that types text comes as
// VK_PACKET. Empty for an auto-repeated release and for a key that has no
// code and types nothing.
std::vector<TKeyMessage> TranslateKey(const QKeyEvent& Event);

// ---- The keyboard now ----

// The modifiers of the last key or mouse event the controls saw; the windows
// note each one. This is the program's "asynchronous" key state.
void NoteKeyboardModifiers(Qt::KeyboardModifiers Modifiers);
// Shift, Ctrl and Alt as last noted.
TShiftState CurrentShiftState();

// ---- Shortcuts ----

// A shortcut value: VK plus 0x2000 for Shift, 0x4000 for Ctrl, 0x8000 for Alt.
using TShortCut = std::uint16_t;
TShortCut ShortCut(std::uint16_t VK, TShiftState Shift);
void ShortCutToKey(TShortCut Value, std::uint16_t& VK, TShiftState& Shift);
// The Qt key of a virtual key (letters, digits, function, editing and
// cursor keys, and the US symbols of the OEM keys); 0 when none, as for the
// numpad keys, which Qt tells apart only by a modifier.
int QtKeyOfVirtualKey(std::uint16_t VK);
