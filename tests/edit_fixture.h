// A form with custom-drawn edits, driven through scripted platform input.
#pragma once

#include "edit/lc_custom_edit.h"
#include "xp_fixture.h"

#include <string>
#include <vector>

// An edit that counts its redraw requests and records what its change handler saw.
class CountingEdit : public TLcCustomEdit {
public:
    using TLcCustomEdit::TLcCustomEdit;
    void DrawText(std::int32_t index) override {
        ++drawTexts;
        TLcCustomEdit::DrawText(index);
    }
    int drawTexts = 0;
};

class EditTest : public XPTest {
protected:
    void SetUp() override;
    void TearDown() override;
    CountingEdit* AddEdit(int left, int top, int width = 65);
    // Gives the edit the focus, sets its text and puts the caret at `caret` with nothing selected.
    void Prepare(CountingEdit* e, const std::string& text, int caret);
    void Type(const std::string& s) {
        for (char c : s) Char(c);
    }
    // A double click in form client coordinates (the second press of a pair).
    void DoubleClick(int x, int y);
    // The form x of caret position p in an unscrolled, left-aligned edit of digits (6 pixels each).
    int DigitX(const TControl* e, int p) const { return e->Left() + 6 * p - 3; }
    // Whether the edit's pixel shows a colour.
    bool EditShows(const TControl* e, int x, int y, TColor c) { return PixelOf(e, x, y) == ColorToPixel(c); }

    CountingEdit* edit = nullptr;
    int changes = 0;
    std::vector<int> caretSeenByOnChange;
};
