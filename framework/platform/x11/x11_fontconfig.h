// fontconfig, loaded only while fonts are being looked up. Its configuration and the XML parser it
// brings cost more memory than everything else about text, and a running program asks for no new
// fonts, so the library is opened on the first lookup and closed again by Release.
#pragma once

#include "framework/platform/platform.h"

#include <cstdint>
#include <memory>
#include <string>

class FontconfigResolver {
public:
    FontconfigResolver();
    ~FontconfigResolver();
    FontconfigResolver(const FontconfigResolver&) = delete;
    FontconfigResolver& operator=(const FontconfigResolver&) = delete;

    // The installed font closest to the requested one (the family falls back to sans-serif): its
    // file, the face's index in it, and whether bold must be made up. False when fontconfig cannot
    // be loaded or finds nothing.
    bool Resolve(const FontSpec& fontSpec, std::int32_t pixelSize, std::string& file, int& index,
                 bool& syntheticBold);
    // Frees fontconfig's state and unloads it; the next Resolve loads it again.
    void Release();

private:
    bool Load();
    struct Api;
    std::unique_ptr<Api> api_;
    bool failed_ = false; // loading failed once: it is not tried again
};
