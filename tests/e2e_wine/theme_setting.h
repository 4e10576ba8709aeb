// The visual-theme setting of the current user, set for one test process and put back at its end.
// The theme library reads the setting once per process, when it is loaded (under Wine as soon as the
// first window is made), so a ThemeSetting comes before anything else in main(); a run with the
// theme and one without are processes of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ThemeSetting {
public:
    // On: Wine's "Light" theme, which a default prefix holds; off: no theme.
    explicit ThemeSetting(bool on);
    ~ThemeSetting();
    ThemeSetting(const ThemeSetting&) = delete;
    ThemeSetting& operator=(const ThemeSetting&) = delete;

    // "--theme=on" among the arguments asks for the theme; anything else leaves it off.
    static bool Requested(int argc, char** argv);

private:
    struct Saved {
        std::string name;
        bool existed = false;
        std::uint32_t type = 0;
        std::vector<unsigned char> data;
    };
    void Set(const std::string& name, const std::string& value);

    void* key_ = nullptr; // HKEY
    std::vector<Saved> saved_;
};
