// Lentaro beside xzoom on one private Xvfb (1024x768x24): CPU at rest and with the pointer moving,
// drawings per second (counted through XDamage on each program's window), CPU per drawing,
// wake-ups at rest (timeslices from /proc/PID/task/*/schedstat), memory (smaps_rollup),
// Lentaro's start time and the time from a warp at rest to the drawing that shows it. Three
// alternating runs of each program; medians with their spreads.
#include "framework/platform/headless/headless_platform.h"
#include "tests/e2e_x11/x11_e2e_support.h"

#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iostream>
#include <map>
#include <poll.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr auto kPhase = 10s;
constexpr int kRuns = 3;
constexpr int kStartRuns = 10;
// The pointer's place: over neither program's window (xzoom at the top-left, Lentaro at (664, 318)).
constexpr int kPointerX = 420, kPointerY = 520;

struct SchedFigures {
    double cpuMs = 0;
    long slices = 0;
};

// On-CPU time and timeslices of every thread of a process.
SchedFigures ReadSched(pid_t pid) {
    SchedFigures f;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (dir == nullptr) return f;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream in(tasks + "/" + entry->d_name + "/schedstat");
        double ns = 0, waited = 0;
        long slices = 0;
        if (in >> ns >> waited >> slices) {
            f.cpuMs += ns / 1e6;
            f.slices += slices;
        }
    }
    closedir(dir);
    return f;
}

long SmapsKb(pid_t pid, const std::string& field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    return -1;
}

// Resident and private dirty kB per mapping, largest first: what each megabyte is.
void PrintMappings(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps");
    std::map<std::string, std::pair<long, long>> byName;
    std::string line, name;
    while (std::getline(in, line)) {
        if (!line.empty() && std::isxdigit(static_cast<unsigned char>(line[0])) && line.find('-') <= 16) {
            std::istringstream fields(line);
            std::string range, perms, offset, device, inode;
            fields >> range >> perms >> offset >> device >> inode;
            std::getline(fields >> std::ws, name);
            if (name.empty()) name = "[anonymous]";
            if (name.find("/fonts") != std::string::npos || name.find("/fontconfig") != std::string::npos)
                name = "font files and fontconfig caches";
            else if (name[0] == '/')
                name = name.substr(name.rfind('/') + 1);
        } else if (line.rfind("Rss:", 0) == 0) {
            byName[name].first += std::atol(line.c_str() + 4);
        } else if (line.rfind("Private_Dirty:", 0) == 0) {
            byName[name].second += std::atol(line.c_str() + 14);
        }
    }
    std::vector<std::pair<std::string, std::pair<long, long>>> sorted(byName.begin(), byName.end());
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.second.first > b.second.first; });
    long restRss = 0, restDirty = 0;
    std::printf("  Lentaro's memory by mapping (kB resident / private dirty):\n");
    for (const auto& [mapping, kb] : sorted) {
        if (kb.first >= 100 || kb.second >= 100) {
            std::printf("    %6ld %6ld  %s\n", kb.first, kb.second, mapping.c_str());
        } else {
            restRss += kb.first;
            restDirty += kb.second;
        }
    }
    std::printf("    %6ld %6ld  everything else (small libraries and their relocated data)\n", restRss,
                restDirty);
}

// Counts the drawings a program makes into its window: XDamage reports of at least 100 x 100
// pixels, those within 2 ms of each other taken as one drawing.
class DrawingCounter {
public:
    DrawingCounter(Display* display, Window window) : display_(display) {
        int error = 0;
        if (XDamageQueryExtension(display_, &eventBase_, &error))
            damage_ = XDamageCreate(display_, window, XDamageReportRawRectangles);
        XSync(display_, False);
    }
    ~DrawingCounter() {
        if (damage_ != 0) XDamageDestroy(display_, damage_);
        XSync(display_, False);
    }
    void Drain() {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (damage_ == 0 || event.type != eventBase_ + XDamageNotify) continue;
            const auto& e = reinterpret_cast<const XDamageNotifyEvent&>(event);
            if (e.area.width * e.area.height < 10000) continue;
            if (counted_ && e.timestamp - lastTime_ <= 2) continue;
            counted_ = true;
            lastTime_ = e.timestamp;
            ++drawings_;
        }
    }
    long Take() {
        Drain();
        const long n = drawings_;
        drawings_ = 0;
        return n;
    }

private:
    Display* display_;
    int eventBase_ = 0;
    Damage damage_ = 0;
    long drawings_ = 0;
    bool counted_ = false;
    Time lastTime_ = 0;
};

struct Phase {
    double cpuMsPerS = 0, wakeupsPerS = 0, drawingsPerS = 0, serverCpuMsPerS = 0;
};

pid_t gServerPid = -1; // the Xvfb, whose work for each program is measured too

// One phase of kPhase: the pointer resting at (cx, cy), or circling round it every 2 s in 10 ms steps.
// `settle`: how long the program is left alone first.
Phase Measure(e2e::XClient& client, pid_t pid, DrawingCounter& counter, bool moving, int cx, int cy,
              std::chrono::milliseconds settle = 1s) {
    client.MovePointer(cx, cy);
    std::this_thread::sleep_for(settle);
    counter.Take();
    const SchedFigures before = ReadSched(pid);
    const SchedFigures serverBefore = ReadSched(gServerPid);
    const auto start = Clock::now();
    for (int step = 0; Clock::now() - start < kPhase; ++step) {
        if (moving) {
            const double a = step * 2 * M_PI / 200;
            client.MovePointer(cx + static_cast<int>(std::lround(120 * std::cos(a))),
                               cy + static_cast<int>(std::lround(120 * std::sin(a))));
        }
        std::this_thread::sleep_for(moving ? 10ms : 100ms);
        counter.Drain();
    }
    const SchedFigures after = ReadSched(pid);
    const SchedFigures serverAfter = ReadSched(gServerPid);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    Phase p;
    p.cpuMsPerS = (after.cpuMs - before.cpuMs) / seconds;
    p.wakeupsPerS = static_cast<double>(after.slices - before.slices) / seconds;
    p.drawingsPerS = static_cast<double>(counter.Take()) / seconds;
    p.serverCpuMsPerS = (serverAfter.cpuMs - serverBefore.cpuMs) / seconds;
    return p;
}

struct RunFigures {
    Phase rest, restNoCaret, moving;
    double rssMb = 0, dirtyMb = 0;
    std::vector<double> warpDelaysMs; // from a warp at rest to the drawing that shows it
};

// Warps the pointer (XWarpPointer: no motion is reported) while the program rests, at different
// places in its check period, and times each until a drawing shows it. A drawing that never comes
// counts as 5 s.
std::vector<double> WarpDelays(e2e::XClient& client, DrawingCounter& counter) {
    std::vector<double> delays;
    for (int i = 0; i < 8; ++i) {
        // Left alone long enough to sleep, for a time that moves the warp round the check period.
        std::this_thread::sleep_for(1000ms + 61ms * i);
        counter.Take();
        const int x = kPointerX + (i % 2 ? 40 : -40);
        XWarpPointer(client.Get(), 0, DefaultRootWindow(client.Get()), 0, 0, 0, 0, x, kPointerY);
        XSync(client.Get(), False);
        const auto start = Clock::now();
        while (Clock::now() - start < 5s) {
            counter.Drain();
            if (counter.Take() > 0) break;
            std::this_thread::sleep_for(2ms);
        }
        delays.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return delays;
}

std::optional<Window> WaitForWindow(e2e::XClient& client, const std::string& name, e2e::ChildProcess& p) {
    std::optional<Window> w;
    e2e::WaitUntil([&] { return (w = client.FindWindow(name)).has_value() || !p.Running(); }, 10s);
    return w;
}

std::optional<RunFigures> RunLentaro(e2e::XClient& client, const std::string& exe,
                                     const std::vector<std::string>& env, bool printMappings) {
    e2e::ChildProcess app({exe}, env, -1, true);
    const auto w = WaitForWindow(client, "Lentaro", app);
    if (!w) return std::nullopt;
    // Active as a window manager would make it: focus in "Zoom Power:", so its caret blinks.
    XSetInputFocus(client.Get(), *w, RevertToPointerRoot, CurrentTime);
    XSync(client.Get(), False);
    DrawingCounter counter(client.Get(), *w);
    RunFigures f;
    // At rest means left alone: by then the caret has stopped blinking, as it does 5 s after the last
    // input (the first seconds blink about twice a second).
    f.rest = Measure(client, app.Pid(), counter, false, kPointerX, kPointerY, 7s);
    f.moving = Measure(client, app.Pid(), counter, true, kPointerX, kPointerY);
    f.rssMb = static_cast<double>(SmapsKb(app.Pid(), "Rss")) / 1024;
    f.dirtyMb = static_cast<double>(SmapsKb(app.Pid(), "Private_Dirty")) / 1024;
    if (printMappings) PrintMappings(app.Pid());
    // Tab twice: the focus goes past "Crosshair Size:" to the Exit button, and no caret blinks.
    client.Key(XK_Tab);
    client.Key(XK_Tab);
    // Left alone 5 s: what the view costs at rest, its looks for warps included.
    f.restNoCaret = Measure(client, app.Pid(), counter, false, kPointerX, kPointerY, 5s);
    f.warpDelaysMs = WarpDelays(client, counter);
    client.SendDeleteWindow(*w);
    app.Wait(5s);
    return f;
}

std::optional<RunFigures> RunXzoom(e2e::XClient& client, const std::vector<std::string>& env) {
    // At the top-left corner: xzoom takes no -geometry beside -source.
    e2e::ChildProcess xzoom({"xzoom", "-mag", "2", "-source", "125x125"}, env, -1, true);
    const auto w = WaitForWindow(client, "xzoom x2", xzoom);
    if (!w) {
        const auto status = xzoom.Wait(100ms);
        std::fprintf(stderr, "bench: no xzoom window (%s)\n",
                     status ? ("exit status " + std::to_string(*status)).c_str() : "still running");
        return std::nullopt;
    }
    DrawingCounter counter(client.Get(), *w);
    RunFigures f;
    f.rest = Measure(client, xzoom.Pid(), counter, false, kPointerX, kPointerY);
    f.moving = Measure(client, xzoom.Pid(), counter, true, kPointerX, kPointerY);
    f.rssMb = static_cast<double>(SmapsKb(xzoom.Pid(), "Rss")) / 1024;
    f.dirtyMb = static_cast<double>(SmapsKb(xzoom.Pid(), "Private_Dirty")) / 1024;
    return f;
}

// Milliseconds from starting the program to its first drawing, as the program reports it on
// standard error when LENTARO_REPORT_FIRST_DRAWING is set.
std::optional<double> StartTime(e2e::XClient& client, const std::string& exe, std::vector<std::string> env) {
    env.push_back("LENTARO_REPORT_FIRST_DRAWING=1");
    int fds[2];
    if (pipe(fds) != 0) return std::nullopt;
    const int savedError = dup(2);
    dup2(fds[1], 2);
    const auto started = Clock::now();
    e2e::ChildProcess app({exe}, env);
    dup2(savedError, 2);
    close(savedError);
    close(fds[1]);
    std::string text;
    std::optional<double> ms;
    const auto deadline = Clock::now() + 10s;
    while (!ms && Clock::now() < deadline) {
        pollfd pfd{fds[0], POLLIN, 0};
        if (poll(&pfd, 1, 100) <= 0) continue;
        char buffer[256];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        const auto at = text.find("lentaro-first-drawing-us ");
        if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
            const long long us = std::atoll(text.c_str() + at + 25);
            const long long startUs =
                std::chrono::duration_cast<std::chrono::microseconds>(started.time_since_epoch()).count();
            ms = static_cast<double>(us - startUs) / 1000;
        }
    }
    close(fds[0]);
    if (const auto w = WaitForWindow(client, "Lentaro", app)) client.SendDeleteWindow(*w);
    app.Wait(5s);
    return ms;
}

struct Stat {
    double median = 0, low = 0, high = 0;
};

Stat Summarise(std::vector<double> v) {
    Stat s;
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    s.low = v.front();
    s.high = v.back();
    s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    return s;
}

template <class F> Stat Of(const std::vector<RunFigures>& runs, F field) {
    std::vector<double> v;
    for (const RunFigures& r : runs) v.push_back(field(r));
    return Summarise(v);
}

std::string Show(const Stat& s, int decimals) {
    char text[96];
    std::snprintf(text, sizeof text, "%.*f (%.*f-%.*f)", decimals, s.median, decimals, s.low, decimals,
                  s.high);
    return text;
}

void Row(const char* what, const Stat& lentaro, const Stat& xzoom, int decimals) {
    const std::string ratio =
        xzoom.median > 0 ? std::to_string(lentaro.median / xzoom.median).substr(0, 5) : "-";
    std::printf("%-28s %-24s %-24s %s\n", what, Show(lentaro, decimals).c_str(),
                Show(xzoom, decimals).c_str(), ratio.c_str());
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " LENTARO_EXECUTABLE\n";
        return 2;
    }
    e2e::Xvfb xvfb;
    if (!xvfb.Ok()) {
        std::cerr << "bench: Xvfb could not be started\n";
        return 1;
    }
    gServerPid = xvfb.Process().Pid();
    auto clientConnection = std::make_unique<e2e::XClient>(xvfb.DisplayName());
    e2e::XClient& client = *clientConnection;
    client.SetRootPicture(&HeadlessPlatform::TestPatternPixel);
    const std::vector<std::string> env{"DISPLAY=" + xvfb.DisplayName()};
    std::printf(
        "Xvfb 1024x768x24; %d alternating runs of each program, %lld s per phase; the pointer rests at "
        "(420, 520) or circles round it every 2 s in 10 ms steps\n",
        kRuns, static_cast<long long>(kPhase.count()));
    std::printf(
        "xzoom -mag 2 -source 125x125 (250 x 250, redrawn every 200 ms); Lentaro: 250 x 250 view at 200 %%, "
        "polled every 100 ms\n\n");

    std::vector<RunFigures> lentaro, xzoom;
    for (int run = 0; run < kRuns; ++run) {
        if (auto f = RunLentaro(client, argv[1], env, run == 0)) lentaro.push_back(*f);
        if (auto f = RunXzoom(client, env)) xzoom.push_back(*f);
    }
    if (lentaro.empty() || xzoom.empty()) {
        std::cerr << "bench: " << (lentaro.empty() ? "Lentaro" : "xzoom") << "'s window did not appear\n";
        return 1;
    }
    std::vector<double> starts;
    for (int run = 0; run < kStartRuns; ++run)
        if (auto ms = StartTime(client, argv[1], env)) starts.push_back(*ms);

    const auto perDrawing = [](const RunFigures& r) {
        return r.moving.drawingsPerS > 0 ? r.moving.cpuMsPerS / r.moving.drawingsPerS : 0.0;
    };
    std::printf("\n%-28s %-24s %-24s %s\n", "median (min-max)", "Lentaro", "xzoom", "Lentaro/xzoom");
    Row("CPU at rest, ms/s", Of(lentaro, [](auto& r) { return r.rest.cpuMsPerS; }),
        Of(xzoom, [](auto& r) { return r.rest.cpuMsPerS; }), 3);
    Row("CPU moving, ms/s", Of(lentaro, [](auto& r) { return r.moving.cpuMsPerS; }),
        Of(xzoom, [](auto& r) { return r.moving.cpuMsPerS; }), 3);
    Row("drawings per second, moving", Of(lentaro, [](auto& r) { return r.moving.drawingsPerS; }),
        Of(xzoom, [](auto& r) { return r.moving.drawingsPerS; }), 1);
    Row("CPU per drawing, ms", Of(lentaro, perDrawing), Of(xzoom, perDrawing), 3);
    const auto wakeupsPerDrawing = [](const RunFigures& r) {
        return r.moving.drawingsPerS > 0 ? r.moving.wakeupsPerS / r.moving.drawingsPerS : 0.0;
    };
    Row("wake-ups per drawing", Of(lentaro, wakeupsPerDrawing), Of(xzoom, wakeupsPerDrawing), 2);
    // The X server's side: its screen reads and copies for the program (the pointer mover's
    // requests are in it too, alike for both programs).
    const auto serverPerDrawing = [](const RunFigures& r) {
        return r.moving.drawingsPerS > 0 ? r.moving.serverCpuMsPerS / r.moving.drawingsPerS : 0.0;
    };
    Row("X server CPU per drawing, ms", Of(lentaro, serverPerDrawing), Of(xzoom, serverPerDrawing), 3);
    Row("wake-ups at rest, /s", Of(lentaro, [](auto& r) { return r.rest.wakeupsPerS; }),
        Of(xzoom, [](auto& r) { return r.rest.wakeupsPerS; }), 2);
    Row("RSS, MB", Of(lentaro, [](auto& r) { return r.rssMb; }), Of(xzoom, [](auto& r) { return r.rssMb; }),
        2);
    Row("private dirty, MB", Of(lentaro, [](auto& r) { return r.dirtyMb; }),
        Of(xzoom, [](auto& r) { return r.dirtyMb; }), 2);
    const Stat noCaretCpu = Of(lentaro, [](auto& r) { return r.restNoCaret.cpuMsPerS; });
    const Stat noCaretWakeups = Of(lentaro, [](auto& r) { return r.restNoCaret.wakeupsPerS; });
    std::printf("%-28s %-24s\n", "Lentaro at rest after 5 s, no caret:", "");
    std::printf("%-28s %-24s\n", "  CPU, ms/s", Show(noCaretCpu, 3).c_str());
    std::printf("%-28s %-24s\n", "  wake-ups, /s", Show(noCaretWakeups, 2).c_str());
    std::vector<double> warpDelays;
    for (const RunFigures& r : lentaro)
        warpDelays.insert(warpDelays.end(), r.warpDelaysMs.begin(), r.warpDelaysMs.end());
    const Stat warp = Summarise(warpDelays);
    std::printf("%-28s %-24s (%zu warps)\n", "Lentaro warp to drawing, ms", Show(warp, 0).c_str(),
                warpDelays.size());
    const Stat start = Summarise(starts);
    std::printf("%-28s %-24s (%zu runs)\n", "Lentaro start to first drawing, ms", Show(start, 1).c_str(),
                starts.size());

    const Stat rest = Of(lentaro, [](auto& r) { return r.rest.cpuMsPerS; });
    const Stat wakeups = Of(lentaro, [](auto& r) { return r.rest.wakeupsPerS; });
    const double drawingRatio = Of(lentaro, perDrawing).median / Of(xzoom, perDrawing).median;
    const Stat rss = Of(lentaro, [](auto& r) { return r.rssMb; });
    const Stat dirty = Of(lentaro, [](auto& r) { return r.dirtyMb; });
    std::printf("\nTargets (medians):\n");
    std::printf("  at rest, focus in an edit:            %.3f ms/s <= 0.3, %.2f wake-ups/s <= 2.5: %s\n",
                rest.median, wakeups.median, Verdict(rest.median <= 0.3 && wakeups.median <= 2.5));
    std::printf("  at rest after 5 s, focus out of the edits: %.3f ms/s <= 0.3, %.2f wake-ups/s <= 2.5: %s\n",
                noCaretCpu.median, noCaretWakeups.median,
                Verdict(noCaretCpu.median <= 0.3 && noCaretWakeups.median <= 2.5));
    std::printf("  a warp drawn within 500 ms: slowest of %zu %.0f ms: %s\n", warpDelays.size(), warp.high,
                Verdict(!warpDelays.empty() && warp.high <= 500));
    std::printf("  per drawing at most half of xzoom's per frame: %.2f of it: %s\n", drawingRatio,
                Verdict(drawingRatio <= 0.5));
    std::printf("  RSS <= 6 MB: %.2f MB: %s; private dirty <= 1 MB: %.2f MB: %s\n", rss.median,
                Verdict(rss.median <= 6), dirty.median, Verdict(dirty.median <= 1));
    std::printf("  start to first drawing <= 50 ms: %.1f ms: %s\n", start.median,
                Verdict(start.median <= 50));
    clientConnection.reset(); // before the server goes
    xvfb.Process().Kill();
    return 0;
}
