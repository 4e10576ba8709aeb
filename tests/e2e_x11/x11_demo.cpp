// The demo run of scripts/run.sh on a machine without a display: Lentaro on a private Xvfb with a
// test picture on the root window, the pointer moved over a few points, a screenshot of each as PNG.
// Every process started here is ended by its PID before the program returns.
#include "tests/e2e_x11/x11_e2e_support.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <thread>

namespace {

// A gradient with a 16-pixel grid and a darker 64-pixel grid, so magnification is easy to see.
std::uint32_t DemoPicture(int x, int y) {
    if (x % 64 == 0 || y % 64 == 0) return 0x202020;
    if (x % 16 == 0 || y % 16 == 0) return 0x606060;
    const auto r = static_cast<std::uint32_t>(x * 255 / 1024);
    const auto g = static_cast<std::uint32_t>(y * 255 / 768);
    const std::uint32_t b = ((x / 16 + y / 16) % 2) ? 0xC0 : 0x60;
    return (r << 16) | (g << 8) | b;
}

// The pointer is not part of a screen grab: mark its place with a small outlined arrow-like cross.
void MarkPointer(PixelSurface& shot, int px, int py) {
    for (int d = -6; d <= 6; ++d) {
        for (int t = -1; t <= 1; ++t) {
            const std::uint32_t c = t == 0 ? 0xFFFFFF : 0x000000;
            shot.SetPixel(px + d, py + t, c);
            shot.SetPixel(px + t, py + d, c);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " LENTARO_EXECUTABLE OUTPUT_DIRECTORY\n";
        return 2;
    }
    const std::string lentaro = argv[1];
    const std::string outDir = argv[2];
    e2e::Xvfb xvfb;
    if (!xvfb.Ok()) {
        std::cerr << "demo: Xvfb could not be started (is the xvfb package installed?)\n";
        return 1;
    }
    std::cout << "demo: Xvfb on display " << xvfb.DisplayName() << " (PID " << xvfb.Process().Pid() << ")\n";
    auto connection = std::make_unique<e2e::XClient>(xvfb.DisplayName());
    e2e::XClient& client = *connection;
    if (!client.Ok()) {
        std::cerr << "demo: cannot connect to " << xvfb.DisplayName() << '\n';
        return 1;
    }
    client.SetRootPicture(&DemoPicture);
    client.MovePointer(300, 300);
    e2e::ChildProcess app({lentaro}, {"DISPLAY=" + xvfb.DisplayName()});
    std::cout << "demo: Lentaro started (PID " << app.Pid() << ")\n";
    if (!e2e::WaitUntil([&] { return client.FindWindow("Lentaro").has_value() || !app.Running(); },
                        std::chrono::seconds(10)) ||
        !app.Running()) {
        std::cerr << "demo: Lentaro's window did not appear\n";
        return 1;
    }
    const struct {
        int x, y;
        const char* name;
    } points[] = {{300, 300, "lentaro-1-centre.png"},
                  {40, 600, "lentaro-2-left-edge.png"},
                  {1010, 120, "lentaro-3-right-edge.png"}};
    int failures = 0;
    for (const auto& p : points) {
        client.MovePointer(p.x, p.y);
        // Three polling periods: the view has followed the pointer by then.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        PixelSurface shot = client.Grab(0, 0, client.Width(), client.Height());
        MarkPointer(shot, p.x, p.y);
        const std::string path = outDir + "/" + p.name;
        if (e2e::WritePng(path, shot)) {
            std::cout << "screenshot: " << path << "  (pointer at " << p.x << ", " << p.y << ")\n";
        } else {
            std::cerr << "demo: cannot write " << path << '\n';
            ++failures;
        }
    }
    if (const std::optional<Window> w = client.FindWindow("Lentaro")) client.SendDeleteWindow(*w);
    const std::optional<int> code = app.Wait(std::chrono::seconds(5));
    std::cout << "demo: Lentaro " << (code ? "ended with exit code " + std::to_string(*code) : "was stopped")
              << '\n';
    app.Kill();
    connection.reset(); // before the server goes
    xvfb.Process().Kill();
    std::cout << "demo: Xvfb stopped\n";
    return failures == 0 && code == 0 ? 0 : 1;
}
