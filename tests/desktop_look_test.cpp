// The desktop's look changing under the running program: a visual style switched off, high
// contrast switched on and off. The platform reports it as an event; every control hears of it.
#include "main_window_fixture.h"

#include <gtest/gtest.h>

namespace {

class DesktopLookTest : public MainWindowFixture {
protected:
    std::uint32_t Pixel(TControl* control, int x, int y) {
        const TPoint p = control->ClientToScreen({x, y});
        const TPoint origin = main->ClientOriginOnScreen();
        return platform.WindowSurface(main->PlatformWindow())->Pixel(p.X - origin.X, p.Y - origin.Y);
    }
    void Post(PlatformEvent::Kind kind) {
        PlatformEvent e;
        e.kind = kind;
        e.window = main->PlatformWindow();
        platform.PostEvent(e);
        Settle();
    }
    // Pixels of a control's area in `pixel`.
    int Count(TControl* control, std::uint32_t pixel) {
        int n = 0;
        for (int y = 0; y < control->Height(); ++y)
            for (int x = 0; x < control->Width(); ++x) n += Pixel(control, x, y) == pixel ? 1 : 0;
        return n;
    }
};

class ThemedDesktopLookTest : public DesktopLookTest {
protected:
    void SetUp() override {
        platform.SetThemeActive(true);
        DesktopLookTest::SetUp();
    }
};

TEST_F(ThemedDesktopLookTest, SwitchingTheStyleOffGivesTheEditsTheirClassicBorderBack) {
    for (TLcSpinEdit* e : {main->powerZ, main->crossS})
        EXPECT_EQ(e->ClientRect(), (TRect{0, 0, e->Width(), e->Height()}));
    platform.SetThemeActive(false);
    Post(PlatformEvent::Kind::ThemeChanged);
    for (TLcSpinEdit* e : {main->powerZ, main->crossS}) {
        SCOPED_TRACE(e->Name());
        EXPECT_EQ(e->ClientRect(), (TRect{2, 2, e->Width() - 2, e->Height() - 2}));
        // The sunken edge: dark grey along the top, white along the bottom.
        EXPECT_EQ(Pixel(e, e->Width() / 2, 0), 0x808080u);
        EXPECT_EQ(Pixel(e, e->Width() / 2, e->Height() - 1), 0xFFFFFFu);
    }
    platform.SetThemeActive(true);
    Post(PlatformEvent::Kind::ThemeChanged);
    EXPECT_EQ(main->powerZ->ClientRect(), (TRect{0, 0, main->powerZ->Width(), main->powerZ->Height()}));
}

TEST_F(DesktopLookTest, HighContrastDrawsTheWindowAndTheButtonInSystemColours) {
    const std::uint32_t silver = 0xC0C0C0, black = 0x000000, white = 0xFFFFFF;
    const TPoint gap{main->Label1->Width() + 4, 2}; // right of "Zoom Power:", on the window itself
    EXPECT_EQ(Pixel(main->Label1, gap.X, gap.Y), silver);
    const int buttonWhiteBefore = Count(main->LvXPButton1, white);

    platform.SetHighContrast(true, main->PlatformWindow());
    Settle();
    EXPECT_EQ(main->Color(), clBtnFace);
    EXPECT_EQ(Pixel(main->Label1, gap.X, gap.Y), black);
    // The labels' white text stands on black, not on silver: no silver is left round it.
    EXPECT_EQ(Count(main->Label1, silver), 0);
    EXPECT_GT(Count(main->Label1, white), 10);
    EXPECT_GT(Count(main->Label1, black), Count(main->Label1, white));
    // The button: a black face, a white frame and caption; none of the XP gradient's pale colours.
    TLvXPButton* exit = main->LvXPButton1;
    EXPECT_EQ(Pixel(exit, exit->Width() - 6, exit->Height() / 2), black);
    EXPECT_EQ(Pixel(exit, exit->Width() / 2, 0), white);
    EXPECT_EQ(Count(exit, 0xFFFFFF) + Count(exit, black) + Count(exit, 0x00FFFF),
              exit->Width() * exit->Height() - Count(exit, 0xFF0000)); // the glyph's red cross stays
    EXPECT_NE(Count(exit, white), buttonWhiteBefore);

    platform.SetHighContrast(false, main->PlatformWindow());
    Settle();
    EXPECT_EQ(main->Color(), clSilver);
    EXPECT_EQ(Pixel(main->Label1, gap.X, gap.Y), silver);
    EXPECT_EQ(Count(main->LvXPButton1, white), buttonWhiteBefore);
}

TEST_F(DesktopLookTest, AWindowMadeUnderHighContrastStartsInIt) {
    TForm* other = nullptr;
    platform.SetHighContrast(true, main->PlatformWindow());
    Settle();
    app->CreateForm(other);
    other->SetColor(clSilver);
    other->Show();
    Settle();
    EXPECT_EQ(other->Color(), clBtnFace);
    EXPECT_EQ(platform.WindowSurface(other->PlatformWindow())->Pixel(5, 5), 0x000000u);
}

} // namespace
