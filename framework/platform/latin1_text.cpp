#include "framework/platform/latin1_text.h"

#include <cstdint>

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char c : latin1) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string Utf8ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        std::uint32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            out += '?';
            ++i;
            continue;
        }
        bool valid = i + static_cast<std::size_t>(extra) < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((cont & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (cont & 0x3F);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        out += cp <= 0xFF ? static_cast<char>(cp) : '?';
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::optional<std::string> Utf8ToLatin1Exactly(std::string_view utf8) {
    std::string latin1;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            latin1 += utf8[i];
            continue;
        }
        // Only the two-byte forms of U+0080..U+00FF are Latin-1.
        if ((byte & 0xFE) != 0xC2 || i + 1 >= utf8.size()) return std::nullopt;
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        latin1 += static_cast<char>(((byte & 0x03) << 6) | (next & 0x3F));
    }
    return latin1;
}
