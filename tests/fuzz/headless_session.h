// One fuzz input's world: a fresh headless platform and application, torn down afterwards so that
// no input sees what an earlier one left (the fuzzer needs each run to depend on its input alone).
#pragma once

#include "edit/lc_application.h"
#include "framework/core/message_queue.h"
#include "framework/forms/application.h"
#include "framework/platform/headless/headless_platform.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

class HeadlessSession {
public:
    // A small synthetic screen: filling the default one would cost more than most runs.
    explicit HeadlessSession(TSize display = {32, 32}) : platform(display) {
        SetCurrentPlatform(&platform);
        LcApplication().Reset();
        app = std::make_unique<TApplication>(nullptr);
        app->SetTitle("Lentaro");
    }
    ~HeadlessSession() {
        app.reset();
        LcApplication().Reset();
        message_queue::Reset();
        SetCurrentPlatform(nullptr);
    }
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    HeadlessPlatform platform;
    std::unique_ptr<TApplication> app;
};

// A broken invariant: said on standard error, then the process aborts so the fuzzer keeps the input.
[[noreturn]] inline void FuzzFailure(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}
