// The toolkit's message model: TMessage and the classic message numbers.
#pragma once

#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct TMessage {
    std::uint32_t Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Packs client coordinates into an LPARAM the classic way (signed 16-bit halves).
inline LPARAM MakeMousePos(int x, int y) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                               static_cast<std::uint16_t>(x));
}
inline int MouseX(LPARAM l) { return static_cast<std::int16_t>(static_cast<std::uint32_t>(l) & 0xFFFF); }
inline int MouseY(LPARAM l) {
    return static_cast<std::int16_t>((static_cast<std::uint32_t>(l) >> 16) & 0xFFFF);
}

constexpr std::uint32_t WM_NULL = 0x0000;
constexpr std::uint32_t WM_CREATE = 0x0001;
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_MOVE = 0x0003;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_ACTIVATE = 0x0006;
constexpr std::uint32_t WM_SETFOCUS = 0x0007;
constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
constexpr std::uint32_t WM_ENABLE = 0x000A;
constexpr std::uint32_t WM_SETTEXT = 0x000C;
constexpr std::uint32_t WM_GETTEXT = 0x000D;
constexpr std::uint32_t WM_GETTEXTLENGTH = 0x000E;
constexpr std::uint32_t WM_PAINT = 0x000F;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;
constexpr std::uint32_t WM_ERASEBKGND = 0x0014;
constexpr std::uint32_t WM_SHOWWINDOW = 0x0018;
constexpr std::uint32_t WM_CANCELMODE = 0x001F;
constexpr std::uint32_t WM_SETCURSOR = 0x0020;
constexpr std::uint32_t WM_WINDOWPOSCHANGING = 0x0046;
constexpr std::uint32_t WM_WINDOWPOSCHANGED = 0x0047;
constexpr std::uint32_t WM_CONTEXTMENU = 0x007B;
constexpr std::uint32_t WM_GETDLGCODE = 0x0087;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_CHAR = 0x0102;
constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
constexpr std::uint32_t WM_SYSCHAR = 0x0106;
constexpr std::uint32_t WM_COMMAND = 0x0111;
constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
constexpr std::uint32_t WM_TIMER = 0x0113;
constexpr std::uint32_t WM_HSCROLL = 0x0114;
constexpr std::uint32_t WM_VSCROLL = 0x0115;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
constexpr std::uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;
// One notch of the wheel, in the units WM_MOUSEWHEEL reports.
constexpr int WHEEL_DELTA = 120;
constexpr std::uint32_t WM_CAPTURECHANGED = 0x0215;
constexpr std::uint32_t WM_CUT = 0x0300;
constexpr std::uint32_t WM_COPY = 0x0301;
constexpr std::uint32_t WM_PASTE = 0x0302;
constexpr std::uint32_t WM_CLEAR = 0x0303;
constexpr std::uint32_t WM_UNDO = 0x0304;
constexpr std::uint32_t WM_USER = 0x0400;

// Edit-control requests.
constexpr std::uint32_t EM_GETSEL = 0x00B0;
constexpr std::uint32_t EM_SETSEL = 0x00B1;
constexpr std::uint32_t EM_GETRECT = 0x00B2;
constexpr std::uint32_t EM_SETRECT = 0x00B3;
constexpr std::uint32_t EM_SETRECTNP = 0x00B4;
constexpr std::uint32_t EM_SCROLL = 0x00B5;
constexpr std::uint32_t EM_LINESCROLL = 0x00B6;
constexpr std::uint32_t EM_SCROLLCARET = 0x00B7;
constexpr std::uint32_t EM_GETMODIFY = 0x00B8;
constexpr std::uint32_t EM_SETMODIFY = 0x00B9;
constexpr std::uint32_t EM_GETLINECOUNT = 0x00BA;
constexpr std::uint32_t EM_LINEINDEX = 0x00BB;
constexpr std::uint32_t EM_SETHANDLE = 0x00BC;
constexpr std::uint32_t EM_GETHANDLE = 0x00BD;
constexpr std::uint32_t EM_GETTHUMB = 0x00BE;
constexpr std::uint32_t EM_LINELENGTH = 0x00C1;
constexpr std::uint32_t EM_REPLACESEL = 0x00C2;
constexpr std::uint32_t EM_GETLINE = 0x00C4;
constexpr std::uint32_t EM_LIMITTEXT = 0x00C5;
constexpr std::uint32_t EM_CANUNDO = 0x00C6;
constexpr std::uint32_t EM_UNDO = 0x00C7;
constexpr std::uint32_t EM_FMTLINES = 0x00C8;
constexpr std::uint32_t EM_LINEFROMCHAR = 0x00C9;
constexpr std::uint32_t EM_SETTABSTOPS = 0x00CB;
constexpr std::uint32_t EM_SETPASSWORDCHAR = 0x00CC;
constexpr std::uint32_t EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr std::uint32_t EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr std::uint32_t EM_SETREADONLY = 0x00CF;
constexpr std::uint32_t EM_SETWORDBREAKPROC = 0x00D0;
constexpr std::uint32_t EM_GETWORDBREAKPROC = 0x00D1;
constexpr std::uint32_t EM_GETPASSWORDCHAR = 0x00D2;
constexpr std::uint32_t EM_SETMARGINS = 0x00D3;
constexpr std::uint32_t EM_GETMARGINS = 0x00D4;
constexpr std::uint32_t EM_GETLIMITTEXT = 0x00D5;
constexpr std::uint32_t EM_POSFROMCHAR = 0x00D6;
constexpr std::uint32_t EM_CHARFROMPOS = 0x00D7;

// Toolkit notifications.
constexpr std::uint32_t CM_BASE = 0xB000;
constexpr std::uint32_t CM_ACTIVATE = CM_BASE + 0;
constexpr std::uint32_t CM_DEACTIVATE = CM_BASE + 1;
constexpr std::uint32_t CM_GOTFOCUS = CM_BASE + 2;
constexpr std::uint32_t CM_LOSTFOCUS = CM_BASE + 3;
constexpr std::uint32_t CM_CANCELMODE = CM_BASE + 4;
constexpr std::uint32_t CM_DIALOGKEY = CM_BASE + 5;
constexpr std::uint32_t CM_DIALOGCHAR = CM_BASE + 6;
constexpr std::uint32_t CM_FOCUSCHANGED = CM_BASE + 7;
constexpr std::uint32_t CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr std::uint32_t CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr std::uint32_t CM_HITTEST = CM_BASE + 10;
constexpr std::uint32_t CM_VISIBLECHANGED = CM_BASE + 11;
constexpr std::uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr std::uint32_t CM_COLORCHANGED = CM_BASE + 13;
constexpr std::uint32_t CM_FONTCHANGED = CM_BASE + 14;
constexpr std::uint32_t CM_CURSORCHANGED = CM_BASE + 15;
constexpr std::uint32_t CM_TEXTCHANGED = CM_BASE + 18;
constexpr std::uint32_t CM_MOUSEENTER = CM_BASE + 19;
constexpr std::uint32_t CM_MOUSELEAVE = CM_BASE + 20;
constexpr std::uint32_t CM_BUTTONPRESSED = CM_BASE + 24;
constexpr std::uint32_t CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr std::uint32_t CM_ENTER = CM_BASE + 26;
constexpr std::uint32_t CM_EXIT = CM_BASE + 27;
constexpr std::uint32_t CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr std::uint32_t CM_RELEASE = CM_BASE + 33;
constexpr std::uint32_t CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr std::uint32_t CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr std::uint32_t CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr std::uint32_t CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr std::uint32_t CM_CHILDKEY = CM_BASE + 46;
constexpr std::uint32_t CM_HINTSHOW = CM_BASE + 48;
constexpr std::uint32_t CM_INVALIDATE = CM_BASE + 52;
constexpr std::uint32_t CM_BORDERCHANGED = CM_BASE + 59;
constexpr std::uint32_t CM_CONTROLCHANGE = CM_BASE + 54;
constexpr std::uint32_t CM_CHANGED = CM_BASE + 55;
constexpr std::uint32_t CM_MOUSEWHEEL = CM_BASE + 67;
constexpr std::uint32_t CM_CONTROLLISTCHANGING = CM_BASE + 74;

// Virtual-key codes.
constexpr std::uint16_t VK_BACK = 0x08;
constexpr std::uint16_t VK_TAB = 0x09;
constexpr std::uint16_t VK_RETURN = 0x0D;
constexpr std::uint16_t VK_SHIFT = 0x10;
constexpr std::uint16_t VK_CONTROL = 0x11;
constexpr std::uint16_t VK_MENU = 0x12;
constexpr std::uint16_t VK_ESCAPE = 0x1B;
constexpr std::uint16_t VK_SPACE = 0x20;
constexpr std::uint16_t VK_PRIOR = 0x21;
constexpr std::uint16_t VK_NEXT = 0x22;
constexpr std::uint16_t VK_END = 0x23;
constexpr std::uint16_t VK_HOME = 0x24;
constexpr std::uint16_t VK_LEFT = 0x25;
constexpr std::uint16_t VK_UP = 0x26;
constexpr std::uint16_t VK_RIGHT = 0x27;
constexpr std::uint16_t VK_DOWN = 0x28;
constexpr std::uint16_t VK_INSERT = 0x2D;
constexpr std::uint16_t VK_DELETE = 0x2E;
constexpr std::uint16_t VK_F10 = 0x79;
constexpr std::uint16_t VK_APPS = 0x5D;

// Message-box flags and results.
constexpr std::uint32_t MB_OK = 0x00000000;
constexpr std::uint32_t MB_ICONSTOP = 0x00000010;
constexpr int IDOK = 1;

// Show modes reported at start-up.
constexpr std::uint32_t SW_SHOWNORMAL = 1;
constexpr std::uint32_t SW_SHOWMAXIMIZED = 3;
constexpr std::uint32_t SW_SHOWMINNOACTIVE = 7;

// Raster operation of a plain copy.
constexpr std::int32_t SRCCOPY = 0x00CC0020;

// The desktop's look changed: sent to every control when the visual style or high contrast was
// switched, or the system colours changed.
constexpr std::uint32_t WM_SYSCOLORCHANGE = 0x0015;
constexpr std::uint32_t WM_THEMECHANGED = 0x031A;
