// Keyboard translation: X key symbols to Windows virtual-key codes, which the toolkit speaks.
#pragma once

#include <cstdint>

// The virtual-key code for a key symbol (0 when the key has none).
std::uint16_t VirtualKeyFromKeysym(unsigned long keysym);
