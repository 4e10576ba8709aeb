// Shared set-up for tests on the headless backend: a fresh platform per test, and a form holding a
// zoom view placed as the main window places it.
#pragma once

#include "framework/forms/application.h"
#include "framework/platform/headless/headless_platform.h"
#include "zoom/lv_zoom.h"

#include <gtest/gtest.h>

#include <memory>

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    HeadlessPlatform platform;
};

class ApplicationTest : public HeadlessTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Advances the virtual clock and handles everything that became due.
    void AdvanceAndProcess(std::uint64_t ms);
    std::unique_ptr<TApplication> app;
};

class ZoomViewTest : public ApplicationTest {
protected:
    void SetUp() override;
    // A view pixel as it stands in the window's back surface (0x00RRGGBB).
    std::uint32_t ViewPixel(int x, int y);
    // The synthetic screen's pixel at a screen position.
    static std::uint32_t ScreenPixel(int x, int y) { return HeadlessPlatform::TestPatternPixel(x, y); }
    // One timer period: the view's tick and whatever paint follows.
    void Tick() { AdvanceAndProcess(100); }
    // Fills the view's area of the back surface with a marker so a later drawing can be seen.
    void MarkView(std::uint32_t pixel = 0x123456);
    bool ViewStillMarked(std::uint32_t pixel = 0x123456);

    TForm* form = nullptr;
    TLvZoom* view = nullptr;
};
