#include "framework/platform/x11/x11_fontconfig.h"

#include <fontconfig/fontconfig.h>

#include <dlfcn.h>
#include <strings.h>

struct FontconfigResolver::Api {
    void* library = nullptr;
    decltype(&FcInit) init = nullptr;
    decltype(&FcFini) fini = nullptr;
    decltype(&FcPatternCreate) patternCreate = nullptr;
    decltype(&FcPatternDestroy) patternDestroy = nullptr;
    decltype(&FcPatternAddString) addString = nullptr;
    decltype(&FcPatternAddInteger) addInteger = nullptr;
    decltype(&FcPatternAddDouble) addDouble = nullptr;
    decltype(&FcPatternAddBool) addBool = nullptr;
    decltype(&FcConfigSubstitute) configSubstitute = nullptr;
    decltype(&FcDefaultSubstitute) defaultSubstitute = nullptr;
    decltype(&FcFontMatch) fontMatch = nullptr;
    decltype(&FcPatternGetString) getString = nullptr;
    decltype(&FcPatternGetInteger) getInteger = nullptr;

    ~Api() {
        if (library != nullptr) dlclose(library);
    }
    template <class F> bool Find(F& function, const char* name) {
        function = reinterpret_cast<F>(dlsym(library, name));
        return function != nullptr;
    }
};

namespace {

// The classic dialog font is narrower than the desktop's usual sans-serif: texts laid out for it (a
// spin edit's "20 pixels") fit only in a font of its width, so it prefers fonts of Arial's metrics.
bool IsClassicDialogFont(const std::string& name) {
    return strcasecmp(name.c_str(), "MS Sans Serif") == 0 ||
           strcasecmp(name.c_str(), "Microsoft Sans Serif") == 0 ||
           strcasecmp(name.c_str(), "MS Shell Dlg") == 0 || strcasecmp(name.c_str(), "MS Shell Dlg 2") == 0;
}

const FcChar8* FamilyName(const char* name) { return reinterpret_cast<const FcChar8*>(name); }

} // namespace

FontconfigResolver::FontconfigResolver() = default;

FontconfigResolver::~FontconfigResolver() { Release(); }

bool FontconfigResolver::Load() {
    if (api_) return true;
    if (failed_) return false;
    auto api = std::make_unique<Api>();
    api->library = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_LOCAL);
    failed_ = api->library == nullptr || !api->Find(api->init, "FcInit") || !api->Find(api->fini, "FcFini") ||
              !api->Find(api->patternCreate, "FcPatternCreate") ||
              !api->Find(api->patternDestroy, "FcPatternDestroy") ||
              !api->Find(api->addString, "FcPatternAddString") ||
              !api->Find(api->addInteger, "FcPatternAddInteger") ||
              !api->Find(api->addDouble, "FcPatternAddDouble") ||
              !api->Find(api->addBool, "FcPatternAddBool") ||
              !api->Find(api->configSubstitute, "FcConfigSubstitute") ||
              !api->Find(api->defaultSubstitute, "FcDefaultSubstitute") ||
              !api->Find(api->fontMatch, "FcFontMatch") || !api->Find(api->getString, "FcPatternGetString") ||
              !api->Find(api->getInteger, "FcPatternGetInteger") || api->init() == FcFalse;
    if (failed_) return false;
    api_ = std::move(api);
    return true;
}

void FontconfigResolver::Release() {
    if (!api_) return;
    // The process holds the only fontconfig state: free it before the library goes.
    api_->fini();
    api_.reset();
}

bool FontconfigResolver::Resolve(const FontSpec& fontSpec, std::int32_t pixelSize, std::string& file,
                                 int& index, bool& syntheticBold) {
    if (!Load()) return false;
    const Api& fc = *api_;
    FcPattern* pattern = fc.patternCreate();
    if (pattern == nullptr) return false;
    fc.addString(pattern, FC_FAMILY, FamilyName(fontSpec.name.c_str()));
    if (IsClassicDialogFont(fontSpec.name))
        for (const char* family : {"Liberation Sans", "Arimo", "Arial"})
            fc.addString(pattern, FC_FAMILY, FamilyName(family));
    fc.addString(pattern, FC_FAMILY, FamilyName("sans-serif"));
    fc.addInteger(pattern, FC_WEIGHT, fontSpec.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    fc.addInteger(pattern, FC_SLANT, fontSpec.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    fc.addDouble(pattern, FC_PIXEL_SIZE, static_cast<double>(pixelSize));
    fc.addBool(pattern, FC_SCALABLE, FcTrue);
    fc.configSubstitute(nullptr, pattern, FcMatchPattern);
    fc.defaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = fc.fontMatch(nullptr, pattern, &result);
    fc.patternDestroy(pattern);
    if (match == nullptr) return false;
    FcChar8* path = nullptr;
    const bool ok = fc.getString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
    if (ok) {
        file = reinterpret_cast<const char*>(path);
        if (fc.getInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
        int weight = FC_WEIGHT_REGULAR;
        fc.getInteger(match, FC_WEIGHT, 0, &weight);
        syntheticBold = fontSpec.bold && weight < FC_WEIGHT_DEMIBOLD;
    }
    fc.patternDestroy(match);
    return ok;
}
