#include "platform/controls/KeyModel.h"

#include <QKeyEvent>

namespace {

struct KeyRow {
  int QtKey;
  std::uint16_t VK;
};

// Keys that name themselves, whatever the layout.
constexpr KeyRow kNamedKeys[] = {
    {Qt::Key_Backspace, VK_BACK},    {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Backtab, VK_TAB},       {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Return, VK_RETURN},     {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},       {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},          {Qt::Key_AltGr, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},       {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_Escape, VK_ESCAPE},     {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},      {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},           {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},         {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},       {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Select, VK_SELECT},     {Qt::Key_Printer, VK_PRINT},
    {Qt::Key_Execute, VK_EXECUTE},   {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT},     {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Help, VK_HELP},         {Qt::Key_Meta, VK_LWIN},
    {Qt::Key_Super_L, VK_LWIN},      {Qt::Key_Super_R, VK_RWIN},
    {Qt::Key_Menu, VK_APPS},         {Qt::Key_NumLock, VK_NUMLOCK},
    {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Cancel, VK_CANCEL},
};

// Printable keys of the US layout, plain and shifted, by their physical key.
constexpr KeyRow kUsSymbols[] = {
    {'!', '1'},          {'@', '2'},          {'#', '3'},          {'$', '4'},           {'%', '5'},
    {'^', '6'},          {'&', '7'},          {'*', '8'},          {'(', '9'},           {')', '0'},
    {';', VK_OEM_1},     {':', VK_OEM_1},     {'=', VK_OEM_PLUS},  {'+', VK_OEM_PLUS},   {',', VK_OEM_COMMA},
    {'<', VK_OEM_COMMA}, {'-', VK_OEM_MINUS}, {'_', VK_OEM_MINUS}, {'.', VK_OEM_PERIOD}, {'>', VK_OEM_PERIOD},
    {'/', VK_OEM_2},     {'?', VK_OEM_2},     {'`', VK_OEM_3},     {'~', VK_OEM_3},      {'[', VK_OEM_4},
    {'{', VK_OEM_4},     {'\\', VK_OEM_5},    {'|', VK_OEM_5},     {']', VK_OEM_6},      {'}', VK_OEM_6},
    {'\'', VK_OEM_7},    {'"', VK_OEM_7},
};

// X key codes (the kernel's code + 8) of the typing block.
std::uint16_t VirtualKeyOfScanCode(std::uint32_t code) {
  static constexpr char kTopRow[] = "QWERTYUIOP";  // 24..33
  static constexpr char kHomeRow[] = "ASDFGHJKL";  // 38..46
  static constexpr char kBottomRow[] = "ZXCVBNM";  // 52..58
  if (code >= 10 && code <= 18) return static_cast<std::uint16_t>('1' + (code - 10));
  if (code >= 24 && code <= 33) return static_cast<std::uint16_t>(kTopRow[code - 24]);
  if (code >= 38 && code <= 46) return static_cast<std::uint16_t>(kHomeRow[code - 38]);
  if (code >= 52 && code <= 58) return static_cast<std::uint16_t>(kBottomRow[code - 52]);
  switch (code) {
    case 19:
      return '0';
    case 20:
      return VK_OEM_MINUS;
    case 21:
      return VK_OEM_PLUS;
    case 34:
      return VK_OEM_4;
    case 35:
      return VK_OEM_6;
    case 47:
      return VK_OEM_1;
    case 48:
      return VK_OEM_7;
    case 49:
      return VK_OEM_3;
    case 51:
      return VK_OEM_5;
    case 59:
      return VK_OEM_COMMA;
    case 60:
      return VK_OEM_PERIOD;
    case 61:
      return VK_OEM_2;
    case 94:
      return VK_OEM_102;
    default:
      return 0;
  }
}

std::uint16_t KeypadKey(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<std::uint16_t>(VK_NUMPAD0 + (key - Qt::Key_0));
  switch (key) {
    case Qt::Key_Asterisk:
      return VK_MULTIPLY;
    case Qt::Key_Plus:
      return VK_ADD;
    case Qt::Key_Minus:
      return VK_SUBTRACT;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return VK_DECIMAL;
    case Qt::Key_Slash:
      return VK_DIVIDE;
    default:
      return 0;
  }
}

Qt::KeyboardModifiers& NotedModifiers() {
  static Qt::KeyboardModifiers modifiers;
  return modifiers;
}

}  // namespace

std::intptr_t DialogCodeNeeded(std::uint16_t VK) {
  switch (VK) {
    case VK_TAB:
      return DLGC_WANTTAB;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      return DLGC_WANTARROWS;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
      return DLGC_WANTALLKEYS;
    default:
      return 0;
  }
}

bool IsModifierKey(std::uint16_t VK) {
  return VK == VK_SHIFT || VK == VK_CONTROL || VK == VK_MENU || VK == VK_LWIN || VK == VK_RWIN;
}

std::intptr_t MakeKeyData(TShiftState Shift, std::uint32_t ScanCode, bool Repeat, bool Release) {
  std::uint32_t data = 1 | ((ScanCode & 0xFF) << 16);
  if (Shift.Contains(ssShift)) data |= 1u << 25;
  if (Shift.Contains(ssCtrl)) data |= 1u << 26;
  if (Shift.Contains(ssAlt)) data |= 1u << 29;
  if (Repeat) data |= 1u << 30;
  if (Release) data |= 1u << 31;
  // The record is 32 bits wide on the original platform; keep it unsigned.
  return static_cast<std::intptr_t>(data);
}

TShiftState KeyDataToShiftState(std::intptr_t KeyData) {
  TShiftState shift;
  if (KeyData & (std::intptr_t{1} << 25)) shift.Include(ssShift);
  if (KeyData & (std::intptr_t{1} << 26)) shift.Include(ssCtrl);
  if (KeyData & (std::intptr_t{1} << 29)) shift.Include(ssAlt);
  return shift;
}

std::uint16_t VirtualKeyOf(int QtKey, bool Keypad, std::uint32_t ScanCode) {
  if (Keypad)
    if (const std::uint16_t vk = KeypadKey(QtKey)) return vk;
  if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z) return static_cast<std::uint16_t>(QtKey);
  if (QtKey >= Qt::Key_0 && QtKey <= Qt::Key_9) return static_cast<std::uint16_t>(QtKey);
  if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F24) return static_cast<std::uint16_t>(VK_F1 + (QtKey - Qt::Key_F1));
  for (const KeyRow& row : kNamedKeys)
    if (row.QtKey == QtKey) return row.VK;
  // A symbol: the key that typed it.
  if (const std::uint16_t vk = VirtualKeyOfScanCode(ScanCode)) return vk;
  for (const KeyRow& row : kUsSymbols)
    if (row.QtKey == QtKey) return row.VK;
  return 0;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers) {
  TShiftState shift;
  if (Modifiers & Qt::ShiftModifier) shift.Include(ssShift);
  if (Modifiers & Qt::AltModifier) shift.Include(ssAlt);
  if (Modifiers & Qt::ControlModifier) shift.Include(ssCtrl);
  if (Modifiers & Qt::GroupSwitchModifier) shift = shift + TShiftState{ssCtrl, ssAlt};
  return shift;
}

std::u32string KeyCharacters(std::uint16_t VK, TShiftState Shift, bool AltGr, const std::u32string& Text) {
  const bool ctrl = Shift.Contains(ssCtrl) && !AltGr;
  const bool alt = Shift.Contains(ssAlt) && !AltGr;
  if (alt) return {};  // a system key
  switch (VK) {
    case VK_RETURN:
      return ctrl ? U"\n" : U"\r";
    case VK_ESCAPE:
      return U"\x1b";
    case VK_BACK:
      return ctrl ? U"\x7f" : U"\b";
    case VK_TAB:
      return ctrl ? U"" : U"\t";
    case VK_SPACE:
      return U" ";
    default:
      break;
  }
  if (ctrl) {
    if (VK >= 'A' && VK <= 'Z') return std::u32string(1, static_cast<char32_t>(VK - 'A' + 1));
    switch (VK) {
      case VK_OEM_4:
        return U"\x1b";
      case VK_OEM_5:
        return U"\x1c";
      case VK_OEM_6:
        return U"\x1d";
      case '6':
        return Shift.Contains(ssShift) ? U"\x1e" : U"";
      case VK_OEM_MINUS:
        return Shift.Contains(ssShift) ? U"\x1f" : U"";
      default:
        return {};
    }
  }
  // Qt's text, without the control characters some platforms add (Delete
  // types 127 on X11; the original platform types nothing there).
  std::u32string chars;
  for (char32_t c : Text)
    if (c >= 0x20 && c != 0x7F) chars.push_back(c);
  return chars;
}

std::vector<TKeyMessage> TranslateKey(const QKeyEvent& Event) {
  const bool release = Event.type() == QEvent::KeyRelease;
  if (release && Event.isAutoRepeat()) return {};
  const Qt::KeyboardModifiers modifiers = Event.modifiers();
  std::uint16_t vk = VirtualKeyOf(Event.key(), modifiers & Qt::KeypadModifier, Event.nativeScanCode());
  if (vk == 0 && (Event.text().isEmpty() || Event.text().front() < QChar(0x20))) return {};
  if (vk == 0) vk = VK_PACKET;
  TShiftState shift = ShiftStateOf(modifiers);
  if (Event.key() == Qt::Key_Backtab) shift.Include(ssShift);
  const bool altGr = modifiers & Qt::GroupSwitchModifier;
  const bool system = (shift.Contains(ssAlt) && !shift.Contains(ssCtrl)) || vk == VK_F10;
  const std::intptr_t data = MakeKeyData(shift, Event.nativeScanCode(), Event.isAutoRepeat(), release);

  std::vector<TKeyMessage> messages;
  if (release) {
    messages.push_back({system ? WM_SYSKEYUP : WM_KEYUP, vk, data});
    return messages;
  }
  messages.push_back({system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, data});
  const QString text = Event.text();
  for (char32_t c : KeyCharacters(vk, shift, altGr, text.toStdU32String())) messages.push_back({WM_CHAR, c, data});
  return messages;
}

void NoteKeyboardModifiers(Qt::KeyboardModifiers Modifiers) { NotedModifiers() = Modifiers; }

TShiftState CurrentShiftState() { return ShiftStateOf(NotedModifiers()); }

TShortCut ShortCut(std::uint16_t VK, TShiftState Shift) {
  TShortCut value = VK & 0xFF;
  if (Shift.Contains(ssShift)) value |= 0x2000;
  if (Shift.Contains(ssCtrl)) value |= 0x4000;
  if (Shift.Contains(ssAlt)) value |= 0x8000;
  return value;
}

void ShortCutToKey(TShortCut Value, std::uint16_t& VK, TShiftState& Shift) {
  VK = Value & 0xFF;
  Shift = {};
  if (Value & 0x2000) Shift.Include(ssShift);
  if (Value & 0x4000) Shift.Include(ssCtrl);
  if (Value & 0x8000) Shift.Include(ssAlt);
}

int QtKeyOfVirtualKey(std::uint16_t VK) {
  if ((VK >= 'A' && VK <= 'Z') || (VK >= '0' && VK <= '9')) return VK;
  if (VK >= VK_F1 && VK < VK_F1 + 24) return Qt::Key_F1 + (VK - VK_F1);
  for (const KeyRow& row : kNamedKeys)
    if (row.VK == VK) return row.QtKey;
  // The OEM keys are listed plain first, then shifted.
  for (const KeyRow& row : kUsSymbols)
    if (row.VK == VK && VK >= VK_OEM_1) return row.QtKey;
  return 0;
}
