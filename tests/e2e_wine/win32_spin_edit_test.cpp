// The two spin edits of the main window on the real Windows backend (Wine), read from their stored
// entries and driven by window messages posted to the form's window while the toolkit's loop runs:
// the button steps and repeats while held, keys, the wheel and typed characters step and edit, and
// Tab commits the typed value clamped into the range. The button shows the classic diagonal face
// without a theme and the theme's spin parts with one (--theme=on, a process of its own).
#include "edit/lc_application.h"
#include "framework/forms/application.h"
#include "spinedit/lc_spin_edit.h"
#include "tests/e2e_wine/themed_test_main.h"
#include "tests/e2e_wine/win32_form_driver.h"
#include "tests/spin_button_face.h"
#include "tests/spin_edit_description.h"

#include "framework/platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Whether this run's process has the theme that main() set up.
bool gThemeOn = false;

class Win32SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCurrentPlatform(&platform);
        LcApplication().Reset();
        app = std::make_unique<TApplication>(nullptr);
        form = new TSpinProbeForm(app.get());
        ReadSpinProbe(*form, [this](TObject*) { readings.push_back(form->powerZ->Value()); });
        zoom = form->powerZ;
        form->SetCaption("spin probe");
        form->Show();
        driver = std::make_unique<Win32FormDriver>("spin probe");
        ASSERT_TRUE(driver->Ok());
        ASSERT_TRUE(PumpUntil([&] { return form->Active() && zoom->Focused(); }));
        const TLcSpinButton* b = zoom->SpinButton();
        button = Bounds(zoom->Left() + b->Left(), zoom->Top() + b->Top(), b->Width(), b->Height());
    }
    void TearDown() override {
        app.reset();
        LcApplication().Reset();
        SetCurrentPlatform(nullptr);
    }

    // Runs the program's loop until `condition` holds (or the time runs out).
    bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s) {
        const auto end = Clock::now() + timeout;
        while (Clock::now() < end) {
            app->ProcessMessages();
            app->DoIdleWork();
            if (condition()) return true;
            platform.WaitForEvent(10);
        }
        return condition();
    }
    bool TextBecomes(const std::string& text) {
        return PumpUntil([&] { return zoom->Text() == text; });
    }
    bool ValueReaches(std::int32_t value) {
        return PumpUntil([&] { return zoom->Value() >= value; });
    }
    // Over the upper part, clear of the diagonal.
    TPoint UpperPart() const { return {button.Left + 2, button.Top + 2}; }

    // The theme's picture of a part (up 1, down 2) over the button's colour, as tall as half the button.
    PixelSurface ThemeCell(int part, TLcButtonPartState state) {
        PixelSurface cell(button.Width(), button.Height() / 2);
        raster::FillRect(cell, cell.Bounds(), ColorToPixel(zoom->SpinBtnColor()), cell.Bounds());
        EXPECT_TRUE(platform.DrawThemePart(cell, cell.Bounds(), cell.Bounds(), "SPIN", part, state + 1));
        return cell;
    }
    // Whether rows [top, bottom) of `face` show `cell` stretched to their height: each row is one of
    // the cell's rows, in their order.
    static bool ShowsCell(const PixelSurface& face, int top, int bottom, const PixelSurface& cell) {
        int row = 0;
        for (int y = top; y < bottom; ++y) {
            auto same = [&] {
                for (int x = 0; x < face.Width(); ++x)
                    if (face.Pixel(x, y) != cell.Pixel(x, row)) return false;
                return true;
            };
            while (row < cell.Height() && !same()) ++row;
            if (row == cell.Height()) return false;
        }
        return true;
    }
    // Whether the window shows the button with the upper part pressed or not, the lower one normal:
    // the classic diagonal face, or with a theme its spin parts, the upper half taking the odd row.
    bool ShowsButton(bool upperPressed) {
        if (!gThemeOn)
            return PumpUntil([&] {
                const PixelSurface face = driver->Grab(button);
                return upperPressed ? spin_face::IsUpperPressed(face) : spin_face::IsClassicFace(face);
            });
        const PixelSurface up = ThemeCell(1, upperPressed ? bpsPressed : bpsNormal);
        const PixelSurface down = ThemeCell(2, bpsNormal);
        const int split = button.Height() - button.Height() / 2;
        return PumpUntil([&] {
            const PixelSurface face = driver->Grab(button);
            return ShowsCell(face, 0, split, up) && ShowsCell(face, split, face.Height(), down);
        });
    }

    Win32Platform platform;
    std::unique_ptr<TApplication> app;
    std::unique_ptr<Win32FormDriver> driver;
    TSpinProbeForm* form = nullptr;
    TLcSpinEdit* zoom = nullptr;
    TRect button; // the zoom power's button in the form's client area
    std::vector<int> readings;
};

TEST_F(Win32SpinEditTest, ButtonShowsTheClassicFaceOrTheThemesSpinParts) {
    ASSERT_EQ(zoom->SpinButton()->UseXP(), gThemeOn);
    EXPECT_TRUE(ShowsButton(false));
    if (gThemeOn) {
        EXPECT_FALSE(spin_face::HasBothArrows(driver->Grab(button)));
        // The pressed part is the theme's too, and not the normal one.
        EXPECT_FALSE(ShowsCell(ThemeCell(1, bpsPressed), 0, button.Height() / 2, ThemeCell(1, bpsNormal)));
    }
}

TEST_F(Win32SpinEditTest, ButtonStepsAtOnceAndRepeatsWhileHeld) {
    const auto pressed = Clock::now();
    driver->LeftButton(UpperPart(), true);
    ASSERT_TRUE(TextBecomes("201%"));
    EXPECT_EQ(readings, std::vector<int>{201});
    EXPECT_TRUE(ShowsButton(true));
    ASSERT_TRUE(ValueReaches(202));
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - pressed).count(), 290);
    EXPECT_TRUE(ValueReaches(205)); // then every 100 ms
    driver->LeftButton(UpperPart(), false);
    PumpUntil([&] { return !zoom->SpinButton()->Pressing(); });
    const std::int32_t released = zoom->Value();
    PumpUntil([] { return false; }, 400ms);
    EXPECT_EQ(zoom->Value(), released) << "no steps after the release";
    EXPECT_EQ(readings.back(), released);
}

TEST_F(Win32SpinEditTest, KeysWheelAndCharactersStepAndEditAndTabCommitsClamped) {
    driver->Key(VK_UP);
    ASSERT_TRUE(TextBecomes("201%"));
    driver->Wheel({200, 100}, 120); // away from both edits: the wheel goes to the focused one
    ASSERT_TRUE(TextBecomes("202%"));
    driver->Wheel({200, 100}, -120);
    ASSERT_TRUE(TextBecomes("201%"));
    // Everything is selected on entry: Backspace leaves the suffix, digits go in before it.
    driver->Key(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return form->crossS->Focused(); }));
    zoom->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return zoom->SelLength() == 4; }));
    driver->Key(VK_BACK);
    for (char c : std::string("2000")) driver->Char(c);
    ASSERT_TRUE(TextBecomes("2000%"));
    driver->Key(VK_TAB);
    ASSERT_TRUE(TextBecomes("1000%"));
    EXPECT_TRUE(form->crossS->Focused());
    EXPECT_EQ(readings, (std::vector<int>{201, 202, 201, 0, 2, 20, 200, 2000, 1000}));
}

TEST_F(Win32SpinEditTest, PointerShowsTheIBeamOverTheTextAndTheArrowOverTheButton) {
    const TPoint text{zoom->Left() + 8, zoom->Top() + zoom->Height() / 2};
    for (const auto& [at, shape] :
         {std::pair{text, "ibeam"}, std::pair{UpperPart(), "arrow"}, std::pair{text, "ibeam"}}) {
        driver->MovePointer(at);
        EXPECT_TRUE(PumpUntil([&] { return driver->ShownPointer() == shape; }))
            << "at " << at.X << "," << at.Y << ": " << driver->ShownPointer() << ", not " << shape;
    }
    // A move inside the text tells the toolkit nothing new: the window's answer to the system's
    // WM_SETCURSOR keeps the I-beam.
    driver->MovePointer({text.X + 6, text.Y});
    PumpUntil([] { return false; }, 300ms);
    EXPECT_EQ(driver->ShownPointer(), "ibeam");
}

} // namespace

int main(int argc, char** argv) { return RunThemedTests(argc, argv, gThemeOn); }
