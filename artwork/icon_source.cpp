// Build tool: turns PNG renderings of the artwork into a C++ source file that defines
// LentaroWindowIconData(): for each picture its width, its height and its pixels as 0xAARRGGBB,
// row by row (the layout of X11's _NET_WM_ICON). Usage: lentaro_icon_source OUTPUT.cpp PNG...
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool AppendPng(const char* path, std::vector<std::uint32_t>& data) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path) == 0) {
        std::fprintf(stderr, "lentaro_icon_source: %s: %s\n", path, image.message);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> rgba(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) == 0) {
        std::fprintf(stderr, "lentaro_icon_source: %s: %s\n", path, image.message);
        png_image_free(&image);
        return false;
    }
    data.push_back(image.width);
    data.push_back(image.height);
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        data.push_back(static_cast<std::uint32_t>(rgba[i + 3]) << 24 |
                       static_cast<std::uint32_t>(rgba[i]) << 16 |
                       static_cast<std::uint32_t>(rgba[i + 1]) << 8 | rgba[i + 2]);
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: lentaro_icon_source OUTPUT.cpp PNG...\n");
        return 2;
    }
    std::vector<std::uint32_t> data;
    for (int i = 2; i < argc; ++i)
        if (!AppendPng(argv[i], data)) return 1;

    std::ofstream out(argv[1], std::ios::trunc);
    out << "// Generated at build time from artwork/lentaro.svg by lentaro_icon_source; do not edit.\n"
           "#include \"app/window_icon_data.h\"\n\n"
           "namespace {\nconst std::uint32_t kIconData[] = {";
    char word[16];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(word, sizeof word, "0x%08x,", static_cast<unsigned>(data[i]));
        out << (i % 8 == 0 ? "\n    " : " ") << word;
    }
    out << "\n};\n} // namespace\n\n"
           "std::span<const std::uint32_t> LentaroWindowIconData() { return kIconData; }\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "lentaro_icon_source: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
