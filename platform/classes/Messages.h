#pragma once
// Message numbers for TMessage::Msg.
//
// Three ranges share one 32-bit number space:
// - the window system's own numbers (WM_, EM_, LB_, CB_), with their usual
//   values, so that a handler table reads the same as the controls it
//   describes;
// - the class library's control notices: CM_ numbers from CM_BASE, and CN_
//   numbers (a notification reflected back to the control that caused it)
//   at CN_BASE plus the window message they reflect;
// - the component family's own numbers (ZRM_), broadcast between its parts
//   or sent to single objects, and the in-place editors' private numbers.
//
// Only numbers that some part of the program sends or handles are listed.
// The comment after a family number says what WParam and LParam carry; both
// are pointer-sized, so objects and lists travel in them unchanged.

#include <cstdint>

using TMessageNumber = std::uint32_t;

// ---- Window messages ----

inline constexpr TMessageNumber WM_NULL = 0x0000;
inline constexpr TMessageNumber WM_DESTROY = 0x0002;
inline constexpr TMessageNumber WM_MOVE = 0x0003;
inline constexpr TMessageNumber WM_SIZE = 0x0005;
inline constexpr TMessageNumber WM_ACTIVATE = 0x0006;
inline constexpr TMessageNumber WM_SETFOCUS = 0x0007;
inline constexpr TMessageNumber WM_KILLFOCUS = 0x0008;
inline constexpr TMessageNumber WM_SETREDRAW = 0x000B;
inline constexpr TMessageNumber WM_SETTEXT = 0x000C;
inline constexpr TMessageNumber WM_GETTEXT = 0x000D;
inline constexpr TMessageNumber WM_GETTEXTLENGTH = 0x000E;
inline constexpr TMessageNumber WM_PAINT = 0x000F;
inline constexpr TMessageNumber WM_CLOSE = 0x0010;
inline constexpr TMessageNumber WM_QUERYENDSESSION = 0x0011;
inline constexpr TMessageNumber WM_QUIT = 0x0012;
inline constexpr TMessageNumber WM_ERASEBKGND = 0x0014;
inline constexpr TMessageNumber WM_SYSCOLORCHANGE = 0x0015;
inline constexpr TMessageNumber WM_ENDSESSION = 0x0016;
inline constexpr TMessageNumber WM_SYSTEMERROR = 0x0017;
inline constexpr TMessageNumber WM_SETTINGCHANGE = 0x001A;
inline constexpr TMessageNumber WM_DEVMODECHANGE = 0x001B;
inline constexpr TMessageNumber WM_ACTIVATEAPP = 0x001C;
inline constexpr TMessageNumber WM_FONTCHANGE = 0x001D;
inline constexpr TMessageNumber WM_TIMECHANGE = 0x001E;
inline constexpr TMessageNumber WM_CANCELMODE = 0x001F;
inline constexpr TMessageNumber WM_SETCURSOR = 0x0020;
inline constexpr TMessageNumber WM_MOUSEACTIVATE = 0x0021;
inline constexpr TMessageNumber WM_GETMINMAXINFO = 0x0024;
inline constexpr TMessageNumber WM_SPOOLERSTATUS = 0x002A;
inline constexpr TMessageNumber WM_DRAWITEM = 0x002B;
inline constexpr TMessageNumber WM_SETFONT = 0x0030;
inline constexpr TMessageNumber WM_COMPACTING = 0x0041;
inline constexpr TMessageNumber WM_WINDOWPOSCHANGING = 0x0046;
inline constexpr TMessageNumber WM_WINDOWPOSCHANGED = 0x0047;
inline constexpr TMessageNumber WM_POWER = 0x0048;
inline constexpr TMessageNumber WM_NOTIFY = 0x004E;
inline constexpr TMessageNumber WM_INPUTLANGCHANGEREQUEST = 0x0050;
inline constexpr TMessageNumber WM_INPUTLANGCHANGE = 0x0051;
inline constexpr TMessageNumber WM_USERCHANGED = 0x0054;
inline constexpr TMessageNumber WM_CONTEXTMENU = 0x007B;
inline constexpr TMessageNumber WM_DISPLAYCHANGE = 0x007E;
inline constexpr TMessageNumber WM_NCCREATE = 0x0081;
inline constexpr TMessageNumber WM_NCCALCSIZE = 0x0083;
inline constexpr TMessageNumber WM_NCHITTEST = 0x0084;
inline constexpr TMessageNumber WM_NCPAINT = 0x0085;
inline constexpr TMessageNumber WM_NCACTIVATE = 0x0086;
inline constexpr TMessageNumber WM_GETDLGCODE = 0x0087;
inline constexpr TMessageNumber WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr TMessageNumber WM_NCLBUTTONUP = 0x00A2;
inline constexpr TMessageNumber WM_NCLBUTTONDBLCLK = 0x00A3;
inline constexpr TMessageNumber WM_KEYFIRST = 0x0100;
inline constexpr TMessageNumber WM_KEYDOWN = 0x0100;
inline constexpr TMessageNumber WM_KEYUP = 0x0101;
inline constexpr TMessageNumber WM_CHAR = 0x0102;
inline constexpr TMessageNumber WM_SYSKEYDOWN = 0x0104;
inline constexpr TMessageNumber WM_SYSKEYUP = 0x0105;
inline constexpr TMessageNumber WM_KEYLAST = 0x0108;
inline constexpr TMessageNumber WM_IME_STARTCOMPOSITION = 0x010D;
inline constexpr TMessageNumber WM_IME_COMPOSITION = 0x010F;
inline constexpr TMessageNumber WM_COMMAND = 0x0111;
inline constexpr TMessageNumber WM_SYSCOMMAND = 0x0112;
inline constexpr TMessageNumber WM_TIMER = 0x0113;
inline constexpr TMessageNumber WM_HSCROLL = 0x0114;
inline constexpr TMessageNumber WM_VSCROLL = 0x0115;
inline constexpr TMessageNumber WM_CTLCOLOREDIT = 0x0133;
inline constexpr TMessageNumber WM_CTLCOLORSTATIC = 0x0138;
inline constexpr TMessageNumber WM_MOUSEFIRST = 0x0200;
inline constexpr TMessageNumber WM_MOUSEMOVE = 0x0200;
inline constexpr TMessageNumber WM_LBUTTONDOWN = 0x0201;
inline constexpr TMessageNumber WM_LBUTTONUP = 0x0202;
inline constexpr TMessageNumber WM_LBUTTONDBLCLK = 0x0203;
inline constexpr TMessageNumber WM_RBUTTONDOWN = 0x0204;
inline constexpr TMessageNumber WM_RBUTTONUP = 0x0205;
inline constexpr TMessageNumber WM_RBUTTONDBLCLK = 0x0206;
inline constexpr TMessageNumber WM_MBUTTONDOWN = 0x0207;
inline constexpr TMessageNumber WM_MBUTTONUP = 0x0208;
inline constexpr TMessageNumber WM_MBUTTONDBLCLK = 0x0209;
inline constexpr TMessageNumber WM_MOUSEWHEEL = 0x020A;
inline constexpr TMessageNumber WM_PARENTNOTIFY = 0x0210;
inline constexpr TMessageNumber WM_ENTERMENULOOP = 0x0211;
inline constexpr TMessageNumber WM_EXITMENULOOP = 0x0212;
inline constexpr TMessageNumber WM_SIZING = 0x0214;
inline constexpr TMessageNumber WM_CAPTURECHANGED = 0x0215;
inline constexpr TMessageNumber WM_MOVING = 0x0216;
inline constexpr TMessageNumber WM_CUT = 0x0300;
inline constexpr TMessageNumber WM_COPY = 0x0301;
inline constexpr TMessageNumber WM_PASTE = 0x0302;
inline constexpr TMessageNumber WM_CLEAR = 0x0303;
inline constexpr TMessageNumber WM_UNDO = 0x0304;
inline constexpr TMessageNumber WM_USER = 0x0400;

// ---- Edit, rich edit, list box and combo box messages ----

inline constexpr TMessageNumber EM_SETSEL = 0x00B1;
inline constexpr TMessageNumber EM_SETRECTNP = 0x00B4;
inline constexpr TMessageNumber EM_SCROLLCARET = 0x00B7;
inline constexpr TMessageNumber EM_GETMODIFY = 0x00B8;
inline constexpr TMessageNumber EM_SETMODIFY = 0x00B9;
inline constexpr TMessageNumber EM_GETLINECOUNT = 0x00BA;
inline constexpr TMessageNumber EM_LINEINDEX = 0x00BB;
inline constexpr TMessageNumber EM_REPLACESEL = 0x00C2;
inline constexpr TMessageNumber EM_GETLINE = 0x00C4;
inline constexpr TMessageNumber EM_CANUNDO = 0x00C6;
inline constexpr TMessageNumber EM_UNDO = 0x00C7;
inline constexpr TMessageNumber EM_EMPTYUNDOBUFFER = 0x00CD;
inline constexpr TMessageNumber EM_SETREADONLY = 0x00CF;
inline constexpr TMessageNumber EM_EXGETSEL = WM_USER + 52;
inline constexpr TMessageNumber EM_EXLIMITTEXT = WM_USER + 53;
inline constexpr TMessageNumber EM_EXSETSEL = WM_USER + 55;
inline constexpr TMessageNumber EM_SETCHARFORMAT = WM_USER + 68;
inline constexpr TMessageNumber EM_SETOLECALLBACK = WM_USER + 70;
inline constexpr TMessageNumber EM_SETTEXTMODE = WM_USER + 89;

inline constexpr TMessageNumber CB_GETDROPPEDSTATE = 0x0157;

inline constexpr TMessageNumber LB_ADDSTRING = 0x0180;
inline constexpr TMessageNumber LB_INSERTSTRING = 0x0181;
inline constexpr TMessageNumber LB_DELETESTRING = 0x0182;
inline constexpr TMessageNumber LB_RESETCONTENT = 0x0184;
inline constexpr TMessageNumber LB_SETCURSEL = 0x0186;
inline constexpr TMessageNumber LB_GETCURSEL = 0x0188;
inline constexpr TMessageNumber LB_GETTEXT = 0x0189;
inline constexpr TMessageNumber LB_GETCOUNT = 0x018B;
inline constexpr TMessageNumber LB_SELECTSTRING = 0x018C;
inline constexpr TMessageNumber LB_FINDSTRING = 0x018F;
inline constexpr TMessageNumber LB_FINDSTRINGEXACT = 0x01A2;
// List box notification code (high word of CN_COMMAND's WParam).
inline constexpr std::uint16_t LBN_SELCHANGE = 1;

// Text travels as std::string, never cut to a buffer: WM_GETTEXT and
// LB_GETTEXT put the text into the std::string* in LParam, WM_SETTEXT,
// LB_ADDSTRING, LB_INSERTSTRING and LB_FINDSTRINGEXACT take a
// const std::string* in LParam.

// ---- The class library's control notices ----

inline constexpr TMessageNumber CM_BASE = 0xB000;
inline constexpr TMessageNumber CM_CANCELMODE = CM_BASE + 4;
inline constexpr TMessageNumber CM_DIALOGKEY = CM_BASE + 5;  // sent to the form: W virtual key, L key data
inline constexpr TMessageNumber CM_DIALOGCHAR = CM_BASE + 6;
inline constexpr TMessageNumber CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr TMessageNumber CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr TMessageNumber CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr TMessageNumber CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr TMessageNumber CM_COLORCHANGED = CM_BASE + 13;
inline constexpr TMessageNumber CM_FONTCHANGED = CM_BASE + 14;
inline constexpr TMessageNumber CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr TMessageNumber CM_MOUSEENTER = CM_BASE + 19;
inline constexpr TMessageNumber CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr TMessageNumber CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr TMessageNumber CM_ENTER = CM_BASE + 26;
inline constexpr TMessageNumber CM_EXIT = CM_BASE + 27;
inline constexpr TMessageNumber CM_DESIGNHITTEST = CM_BASE + 28;
inline constexpr TMessageNumber CM_WANTSPECIALKEY = CM_BASE + 30;
inline constexpr TMessageNumber CM_RELEASE = CM_BASE + 33;
inline constexpr TMessageNumber CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr TMessageNumber CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr TMessageNumber CM_DRAG = CM_BASE + 47;
inline constexpr TMessageNumber CM_HINTSHOW = CM_BASE + 48;
inline constexpr TMessageNumber CM_CHANGED = CM_BASE + 55;

inline constexpr TMessageNumber CN_BASE = 0xBC00;
inline constexpr TMessageNumber CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr TMessageNumber CN_KEYUP = CN_BASE + WM_KEYUP;
inline constexpr TMessageNumber CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
inline constexpr TMessageNumber CN_COMMAND = CN_BASE + WM_COMMAND;

// ---- The component family's messages ----
// Broadcast to every receiver unless the comment says "sent" (to one object).

inline constexpr TMessageNumber ZRM_COMPONENTRENAMING = 0x7E9;    // W component (nullptr: the root), L new name (char*)
inline constexpr TMessageNumber ZRM_DESIGNMODIFIED = 0x7EA;       // W TList of the modified objects
inline constexpr TMessageNumber ZRM_PACKAGESCHANGED = 0x7EC;      // W module, after a package was unloaded
inline constexpr TMessageNumber ZRM_PALETTESELECTION = 0x7ED;     // W selection text, L shift state
inline constexpr TMessageNumber ZRM_QUERYPACKAGEUNLOAD = 0x7EE;   // W module; stopping broadcast, Result 1 vetoes
inline constexpr TMessageNumber ZRM_COMPONENTINSERTED = 0x7EF;    // W component
inline constexpr TMessageNumber ZRM_TYPELIBREGISTERED = 0x7F0;    // W address of the library GUID
inline constexpr TMessageNumber ZRM_TYPELIBUNREGISTERED = 0x7F1;  // W address of the library GUID
inline constexpr TMessageNumber ZRM_COMMITEDIT = 0x7F3;           // sent to child controls: take over pending text
inline constexpr TMessageNumber ZRM_SELECTIONCHANGED = 0x7F4;     // W selection TList, L the designer
inline constexpr TMessageNumber ZRM_DESIGNERSTATE = 0x7F5;        // W Boolean (0 or 1)
inline constexpr TMessageNumber ZRM_LOADEDITORSTYLES = 0x7F6;
inline constexpr TMessageNumber ZRM_SAVEEDITORSTYLES = 0x7F7;
inline constexpr TMessageNumber ZRM_PACKAGESLOADED = 0x7F8;
inline constexpr TMessageNumber ZRM_DESIGNERSTATERESTORED = 0x7F9;
inline constexpr TMessageNumber ZRM_QUERYSKIPFRONTFORM = 0x7FA;  // sent to one form; Result non-zero: skip it
inline constexpr TMessageNumber ZRM_OPENFORMRESOURCE = 0x7FB;    // W module file name, L address of name and type
inline constexpr TMessageNumber ZRM_VERBSCHANGED = 0x7FD;
inline constexpr TMessageNumber ZRM_DOCUMENTADDED = 0x7FE;          // W document, L compound
inline constexpr TMessageNumber ZRM_DOCUMENTOPENED = 0x800;         // W document (opened, renamed or saved)
inline constexpr TMessageNumber ZRM_ACTIVEPROJECTCHANGED = 0x801;   // W project
inline constexpr TMessageNumber ZRM_TREESOURCELINKCHANGED = 0x802;  // W tree source
inline constexpr TMessageNumber ZRM_WORKSPACECLOSING = 0x803;
inline constexpr TMessageNumber ZRM_PROJECTITEMCHANGED = 0x804;  // W document
inline constexpr TMessageNumber ZRM_VERBUPDATEENDED = 0x805;
inline constexpr TMessageNumber ZRM_VERBUPDATEBEGAN = 0x807;
inline constexpr TMessageNumber ZRM_TREESOURCECHANGED = 0x808;  // posted to subscriber windows: W node record, L code
inline constexpr TMessageNumber ZRM_TOGGLEINSPECTOR = 0x809;
inline constexpr TMessageNumber ZRM_PACKAGEUNLOADED = 0x80A;  // W registration group of the package
inline constexpr TMessageNumber ZRM_OBJECTSDELETED = 0x80B;   // L TList of objects, or W the one object
inline constexpr TMessageNumber ZRM_SHOWFLOATINGPALETTE = 0x80F;
inline constexpr TMessageNumber ZRM_HIDEFLOATINGPALETTE = 0x810;
inline constexpr TMessageNumber ZRM_SHOWALIGNPALETTE = 0x811;  // W Boolean force
inline constexpr TMessageNumber ZRM_HIDEALIGNPALETTE = 0x812;
inline constexpr TMessageNumber ZRM_PALETTECLASSESREGISTERED = 0x815;
inline constexpr TMessageNumber ZRM_PALETTECHANGED = 0x816;
inline constexpr TMessageNumber ZRM_ENVIRONMENTOPTIONSOK = 0x819;  // sent to each options page
inline constexpr TMessageNumber ZRM_PALETTEPROPERTIESAPPLIED = 0x81B;
inline constexpr TMessageNumber ZRM_KNOWNACTIVEXSAVED = 0x81C;
inline constexpr TMessageNumber ZRM_ENVIRONMENTOPTIONSCANCEL = 0x81D;  // sent to each options page
inline constexpr TMessageNumber ZRM_PALETTESTORAGELOADED = 0x81E;      // sent by a storage to its own control
inline constexpr TMessageNumber ZRM_EDITOROPTIONSCHANGED = 0x81F;      // sent to each editor that follows them
inline constexpr TMessageNumber ZRM_PAINTTO = 0xB0C8;  // sent: W canvas, L x (low word), y (high word); Result 1

// Private numbers of the in-place editors, posted to their own windows.
inline constexpr TMessageNumber ZRM_POPUPCLOSED = 0x8065;
inline constexpr TMessageNumber ZRM_DROPDOWN = 0x8066;
inline constexpr TMessageNumber ZRM_SHOWPOPUPFORM = 0x8067;
