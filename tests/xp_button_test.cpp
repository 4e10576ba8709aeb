// The XP push button's face in each state, its glyph and caption placement, and its keys.
#include "xp_fixture.h"

namespace {

constexpr std::uint32_t kFramePixel = 0x003873;    // 0x733800
constexpr std::uint32_t kDisabledPixel = 0xCEC7BD; // 0xBDC7CE
constexpr std::uint32_t kSilverPixel = 0xC0C0C0;

class XPButtonTest : public XPTest {
protected:
    void SetUp() override {
        XPTest::SetUp();
        other = AddButton("Other", 150, 100);
        button = AddButton("Exit", 10, 10);
        // A glyph whose bottom-left colour (white) is transparent, with a blue and a red mark.
        TLvPicture glyph;
        TBitmap* bmp = glyph.Bitmap();
        bmp->SetSize(16, 16);
        bmp->Canvas()->Brush()->SetColor(clWhite);
        bmp->Canvas()->FillRect(Rect(0, 0, 16, 16));
        bmp->Canvas()->SetPixel(0, 0, clBlue);
        bmp->Canvas()->SetPixel(5, 5, clRed);
        button->SetGlyph(&glyph);
        form->Show();
        MouseMove(250, 5);
    }
    std::uint32_t At(int x, int y) { return PixelOf(button, x, y); }
    static std::uint32_t GradientPixel(const TBitmap* b, int x, int y) { return b->Pixels().Pixel(x, y); }

    TLvXPButton* button = nullptr;
    TLvXPButton* other = nullptr;
};

TEST_F(XPButtonTest, ConstructorDefaults) {
    TLvXPButton fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 73);
    EXPECT_EQ(fresh.Height(), 21);
    EXPECT_TRUE(fresh.TabStop);
    EXPECT_TRUE(fresh.AutoGray());
    EXPECT_TRUE(fresh.SmoothEdges());
    EXPECT_TRUE(fresh.WordWrap());
    EXPECT_EQ(fresh.Spacing(), 3);
    EXPECT_EQ(fresh.Layout(), blGlyphLeft);
}

TEST_F(XPButtonTest, DefaultStateFaceFrameCornersGlyphAndCaption) {
    ASSERT_EQ(form->ActiveControl(), other);
    EXPECT_EQ(At(40, 0), kFramePixel);
    EXPECT_EQ(At(0, 10), kFramePixel);
    EXPECT_EQ(At(84, 10), kFramePixel);
    EXPECT_EQ(At(40, 20), kFramePixel);
    EXPECT_EQ(At(0, 0), kSilverPixel); // outside the rounded frame: the parent's colour
    EXPECT_EQ(At(84, 20), kSilverPixel);
    const TBitmap* face = button->BackgroundGradient();
    ASSERT_EQ(face->Width(), 83);
    ASSERT_EQ(face->Height(), 19);
    EXPECT_EQ(At(1, 1), kFramePixel); // the rounded corner covers the face's first pixel
    EXPECT_EQ(At(3, 1), 0xFFFFFFu);
    EXPECT_EQ(At(60, 18), GradientPixel(face, 59, 17));
    // "Exit" measures 17: glyph 16 + spacing 3 + 17 centred in 85 puts the glyph at (24, 2).
    EXPECT_EQ(At(24, 2), 0x0000FFu);
    EXPECT_EQ(At(29, 7), 0xFF0000u);
    EXPECT_EQ(At(24, 17), GradientPixel(face, 23, 16)); // the transparent white shows the face
    // The caption starts at x 43, vertically centred: its first stem is black.
    EXPECT_EQ(At(43, 12), 0x000000u);
    EXPECT_NE(At(42, 12), 0x000000u);
}

TEST_F(XPButtonTest, HighlightFocusAndPressedFaces) {
    MouseMove(30, 20); // over the button
    EXPECT_TRUE(button->IsSpecialDrawState(false));
    EXPECT_EQ(At(3, 1), GradientPixel(button->HighlightGradient(), 2, 0));
    EXPECT_EQ(At(1, 5), GradientPixel(button->HighlightGradient(), 0, 4));
    EXPECT_EQ(At(3, 3), 0xFFFFFFu); // the smaller face inside the 2-pixel band

    MouseDown(30, 20); // pressed with the pointer over it: the pressed face, content shifted
    EXPECT_EQ(form->ActiveControl(), button);
    EXPECT_FALSE(button->IsSpecialDrawState(false));
    EXPECT_EQ(At(3, 1), GradientPixel(button->PressedGradient(), 2, 0));
    EXPECT_EQ(At(5, 5), GradientPixel(button->PressedGradient(), 4, 4));
    EXPECT_EQ(At(25, 3), 0x0000FFu);

    MouseMove(200, 150); // pressed with the pointer away: the focus band
    EXPECT_EQ(At(3, 1), GradientPixel(button->FocusGradient(), 2, 0));
    EXPECT_EQ(At(24, 2), 0x0000FFu);

    MouseUp(200, 150);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(button->DrawState & dsFocused);
    EXPECT_EQ(At(3, 1), GradientPixel(button->FocusGradient(), 2, 0)); // still focused
}

TEST_F(XPButtonTest, DisabledButtonGreysFrameAndGlyph) {
    button->SetEnabled(false);
    Settle();
    EXPECT_EQ(At(40, 0), kDisabledPixel);
    EXPECT_EQ(At(1, 0), kDisabledPixel); // the smoothed corner
    // The glyph's blue mark turns light grey: (0 + 0 + 255) / 3 + 100 = 185.
    EXPECT_EQ(At(24, 2), 0xB9B9B9u);
}

TEST_F(XPButtonTest, SpacePressAndReleaseClickOnce) {
    button->SetFocus();
    Key(VK_SPACE, true);
    EXPECT_TRUE(button->DrawState & dsClicked);
    EXPECT_TRUE(button->DrawState & dsHighlight);
    Key(VK_SPACE, true); // a held key repeats harmlessly
    EXPECT_EQ(clicks, 0);
    Key(VK_SPACE, false);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->DrawState & dsClicked);
    EXPECT_FALSE(button->DrawState & dsHighlight); // the pointer is elsewhere
    Key(VK_SPACE, true, kShiftCtrl); // with a modifier, Space does nothing
    Key(VK_SPACE, false, kShiftCtrl);
    EXPECT_EQ(clicks, 1);
}

TEST_F(XPButtonTest, EnterClicksTheFocusedButtonWhateverTheModifiers) {
    button->SetFocus();
    Key(VK_RETURN, true);
    EXPECT_EQ(clicks, 1);
    Key(VK_RETURN, true, kShiftShift);
    EXPECT_EQ(clicks, 2);
}

TEST_F(XPButtonTest, EscapeClicksACancelButtonOnlyWithoutModifiers) {
    button->Cancel = true;
    other->SetFocus();
    int otherClicks = clicks;
    Key(VK_ESCAPE, true, kShiftShift);
    EXPECT_EQ(clicks, otherClicks);
    Key(VK_ESCAPE, true);
    EXPECT_EQ(clicks, otherClicks + 1);
}

TEST_F(XPButtonTest, DefaultButtonTakesEnterOnlyWhileNoXPControlIsActive) {
    auto* plain = new TCustomControl(form);
    plain->SetParent(form);
    plain->SetBounds(200, 10, 20, 20);
    plain->TabStop = true;
    int defaultClicks = 0;
    button->OnClick = [&](TObject*) { ++defaultClicks; };
    button->SetDefault(true);
    other->SetFocus(); // an XP control is active: Enter is its
    Key(VK_RETURN, true);
    EXPECT_EQ(defaultClicks, 0);
    plain->SetFocus();
    EXPECT_TRUE(button->IsSpecialDrawState(false)); // the default frame shows
    Key(VK_RETURN, true);
    EXPECT_EQ(defaultClicks, 1);
}

TEST_F(XPButtonTest, ChangingDefaultRepaintsAtOnce) {
    auto* counting = new CountingButton(form);
    counting->SetParent(form);
    counting->SetBounds(10, 100, 85, 21);
    Settle();
    counting->repaints = 0;
    counting->SetDefault(true);
    EXPECT_GE(counting->repaints, 1);
}

TEST_F(XPButtonTest, MouseHeldAndAKeyReleasedClicksAtTheKeyRelease) {
    MouseMove(30, 20);
    MouseDown(30, 20);
    Key('A', true);
    Key('A', false);
    EXPECT_EQ(clicks, 1);
    MouseUp(30, 20); // the release inside clicks again
    EXPECT_EQ(clicks, 2);
}

TEST_F(XPButtonTest, GlyphLayouts) {
    button->SetLayout(blGlyphRight);
    Settle();
    // Caption then glyph, the group centred: caption at 24, glyph at 24 + 17 + 3 = 44.
    EXPECT_EQ(At(44, 2), 0x0000FFu);
    button->SetLayout(blGlyphTop);
    button->SetBounds(10, 10, 85, 60);
    Settle();
    // Glyph above the caption, both centred: group 16 + 3 + 13 = 32 high in 60: glyph top at 14.
    EXPECT_EQ(At((85 - 16) / 2, 14), 0x0000FFu);
}

TEST_F(XPButtonTest, EmptyCaptionIsMeasuredAsOneBlank) {
    button->SetCaption("");
    Settle();
    // Glyph 16 + 3 + a blank of 3, centred in 85: the glyph starts at (85 - 22) / 2 = 31.
    EXPECT_EQ(At(31, 2), 0x0000FFu);
}

TEST_F(XPButtonTest, GradientsFollowTheSize) {
    button->SetBounds(10, 10, 100, 30);
    EXPECT_EQ(button->BackgroundGradient()->Width(), 98);
    EXPECT_EQ(button->BackgroundGradient()->Height(), 28);
    EXPECT_EQ(button->FocusGradient()->Width(), 98);
    button->SetBounds(10, 10, 2, 2); // too small: the gradients keep what they had
    EXPECT_EQ(button->PressedGradient()->Width(), 98);
}

} // namespace
