#include "framework/platform/x11/x11_keys.h"

#define XK_MISCELLANY
#define XK_LATIN1
#define XK_XKB_KEYS
#include <X11/keysymdef.h>

#include <utility>

namespace {

struct KeyPair {
    unsigned long keysym;
    std::uint16_t vk;
};

constexpr KeyPair kKeys[] = {
    {XK_BackSpace, 0x08},   {XK_Tab, 0x09},         {XK_ISO_Left_Tab, 0x09},
    {XK_Clear, 0x0C},       {XK_Return, 0x0D},      {XK_KP_Enter, 0x0D},
    {XK_Shift_L, 0x10},     {XK_Shift_R, 0x10},     {XK_Control_L, 0x11},
    {XK_Control_R, 0x11},   {XK_Alt_L, 0x12},       {XK_Alt_R, 0x12},
    {XK_Meta_L, 0x12},      {XK_Meta_R, 0x12},      {XK_ISO_Level3_Shift, 0x12},
    {XK_Pause, 0x13},       {XK_Caps_Lock, 0x14},   {XK_Escape, 0x1B},
    {XK_space, 0x20},       {XK_KP_Space, 0x20},    {XK_Prior, 0x21},
    {XK_KP_Prior, 0x21},    {XK_Next, 0x22},        {XK_KP_Next, 0x22},
    {XK_End, 0x23},         {XK_KP_End, 0x23},      {XK_Home, 0x24},
    {XK_KP_Home, 0x24},     {XK_Left, 0x25},        {XK_KP_Left, 0x25},
    {XK_Up, 0x26},          {XK_KP_Up, 0x26},       {XK_Right, 0x27},
    {XK_KP_Right, 0x27},    {XK_Down, 0x28},        {XK_KP_Down, 0x28},
    {XK_Select, 0x29},      {XK_Print, 0x2C},       {XK_Execute, 0x2B},
    {XK_Insert, 0x2D},      {XK_KP_Insert, 0x2D},   {XK_Delete, 0x2E},
    {XK_KP_Delete, 0x2E},   {XK_Help, 0x2F},        {XK_KP_Begin, 0x0C},
    {XK_Super_L, 0x5B},     {XK_Super_R, 0x5C},     {XK_Menu, 0x5D},
    {XK_KP_Multiply, 0x6A}, {XK_KP_Add, 0x6B},      {XK_KP_Separator, 0x6C},
    {XK_KP_Subtract, 0x6D}, {XK_KP_Decimal, 0x6E},  {XK_KP_Divide, 0x6F},
    {XK_Num_Lock, 0x90},    {XK_Scroll_Lock, 0x91}, {XK_semicolon, 0xBA},
    {XK_colon, 0xBA},       {XK_equal, 0xBB},       {XK_plus, 0xBB},
    {XK_comma, 0xBC},       {XK_less, 0xBC},        {XK_minus, 0xBD},
    {XK_underscore, 0xBD},  {XK_period, 0xBE},      {XK_greater, 0xBE},
    {XK_slash, 0xBF},       {XK_question, 0xBF},    {XK_grave, 0xC0},
    {XK_asciitilde, 0xC0},  {XK_bracketleft, 0xDB}, {XK_braceleft, 0xDB},
    {XK_backslash, 0xDC},   {XK_bar, 0xDC},         {XK_bracketright, 0xDD},
    {XK_braceright, 0xDD},  {XK_apostrophe, 0xDE},  {XK_quotedbl, 0xDE},
};

} // namespace

std::uint16_t VirtualKeyFromKeysym(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return static_cast<std::uint16_t>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<std::uint16_t>('A' + (keysym - XK_A));
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<std::uint16_t>('0' + (keysym - XK_0));
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return static_cast<std::uint16_t>(0x60 + (keysym - XK_KP_0));
    if (keysym >= XK_F1 && keysym <= XK_F24) return static_cast<std::uint16_t>(0x70 + (keysym - XK_F1));
    for (const KeyPair& k : kKeys)
        if (k.keysym == keysym) return k.vk;
    return 0;
}
