// The program's text is 8-bit Latin-1, one byte a character; the desktop's clipboard, window titles
// and accessibility bus speak UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::string Latin1ToUtf8(std::string_view latin1);
// Characters beyond Latin-1, and malformed sequences, become '?'.
std::string Utf8ToLatin1(std::string_view utf8);
// Nothing when the text holds a character beyond Latin-1 (no key types it) or is malformed.
std::optional<std::string> Utf8ToLatin1Exactly(std::string_view utf8);
