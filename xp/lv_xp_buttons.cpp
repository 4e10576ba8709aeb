#include "xp/lv_xp_buttons.h"

#include "framework/controls/control_accessible.h"
#include "framework/forms/forms.h"
#include "framework/platform/platform.h"
#include "xp/xp_drawing.h"

namespace {

constexpr TColor kFrameColor = 0x733800;
constexpr TColor kDisabledColor = 0xBDC7CE;
constexpr TColor kSmoothEdgeColor = 0xAD9E7B;
constexpr TLvXPGradientColors kGradientBands = 64;

// Copies at most maxWidth x maxHeight of `bitmap`'s pixels unchanged to (x, y).
void CopyBitmapAt(TCanvas& canvas, const TBitmap& bitmap, std::int32_t x, std::int32_t y,
                  std::int32_t maxWidth, std::int32_t maxHeight) {
    const std::int32_t w = std::min(maxWidth, bitmap.Width());
    const std::int32_t h = std::min(maxHeight, bitmap.Height());
    if (w <= 0 || h <= 0) return;
    const PixelSurface& pixels = bitmap.Pixels();
    const PixelSurface part =
        PixelSurface::Wrap(const_cast<std::uint32_t*>(pixels.Row(0)), w, h, pixels.Stride());
    canvas.DrawPixels(Bounds(x, y, w, h), part, false, 0);
}

} // namespace

TLvXPCustomButton::TLvXPCustomButton(TComponent* AOwner)
    : TLvXPCustomStyleControl(AOwner), background_(std::make_unique<TBitmap>()),
      pressed_(std::make_unique<TBitmap>()), focus_(std::make_unique<TBitmap>()),
      highlight_(std::make_unique<TBitmap>()), glyph_(std::make_unique<TLvPicture>()) {
    glyph_->OnChange = [this](TObject*) { LockedInvalidate(); };
    // A double click arrives as two presses, so two clicks.
    ControlStyle &= ~csDoubleClicks;
    SetHeight(21);
    SetWidth(73);
    TabStop = true;
}

TLvXPCustomButton::~TLvXPCustomButton() { glyph_->OnChange = nullptr; }

void TLvXPCustomButton::SetAutoGray(bool value) {
    if (value == autoGray_) return;
    autoGray_ = value;
    LockedInvalidate();
}

void TLvXPCustomButton::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    // Every XP control of the form re-runs its focus hook, so the default frame shows at once.
    if (TCustomForm* form = GetParentForm(this); form != nullptr && form != static_cast<TControl*>(this))
        form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TLvXPCustomButton::SetGlyph(const TLvPicture* value) {
    glyph_->Assign(value);
    LockedInvalidate();
}

void TLvXPCustomButton::SetLayout(TLvXPLayout value) {
    if (value == layout_) return;
    layout_ = value;
    LockedInvalidate();
}

void TLvXPCustomButton::SetShowAccelChar(bool value) {
    if (value == showAccelChar_) return;
    showAccelChar_ = value;
    LockedInvalidate();
}

void TLvXPCustomButton::SetShowFocusRect(bool value) {
    if (value == showFocusRect_) return;
    showFocusRect_ = value;
    LockedInvalidate();
}

void TLvXPCustomButton::SetSmoothEdges(bool value) {
    if (value == smoothEdges_) return;
    smoothEdges_ = value;
    LockedInvalidate();
}

void TLvXPCustomButton::SetSpacing(std::uint8_t value) {
    if (value == spacing_) return;
    spacing_ = value;
    LockedInvalidate();
}

void TLvXPCustomButton::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    LockedInvalidate();
}

bool TLvXPCustomButton::IsSpecialDrawState(bool ignoreDefault) const {
    const bool special =
        (DrawState & dsClicked) ? !(DrawState & dsHighlight) : (DrawState & (dsHighlight | dsFocused)) != 0;
    if (ignoreDefault) return special;
    return special || (default_ && CanFocus() && !SiblingActive);
}

void TLvXPCustomButton::RebuildGradients() {
    // Inside the frame line, and inside the focus band when one shows.
    const std::int32_t line = FrameLineWidth();
    const std::int32_t s = IsSpecialDrawState(true) ? 1 : 0;
    const std::int32_t w = Width() - 2 * line;
    const std::int32_t h = Height() - 2 * line;
    LvXPCreateGradientRect(w - 4 * s * line, h - 4 * s * line, 0xFFFFFF, 0xE7EBEF, kGradientBands, gsTop,
                           true, *background_);
    LvXPCreateGradientRect(w, h, 0xC6CFD6, 0xEBF3F7, kGradientBands, gsTop, true, *pressed_);
    LvXPCreateGradientRect(w, h, 0xFFE7CE, 0xEF846D, kGradientBands, gsTop, true, *focus_);
    LvXPCreateGradientRect(w, h, 0xCEF3FF, 0x0096E7, kGradientBands, gsTop, true, *highlight_);
}

void TLvXPCustomButton::HookResized() {
    TLvXPCustomStyleControl::HookResized();
    RebuildGradients();
    LockedInvalidate();
}

void TLvXPCustomButton::Paint() {
    TCanvas& canvas = *Canvas();
    const std::int32_t w = Width();
    const std::int32_t h = Height();
    TRect r{0, 0, w, h};
    // On a scaled display the frame, the focus band and the pressed shift are this many pixels.
    const std::int32_t line = FrameLineWidth();

    // The parent's colour shows only outside the rounded frame.
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(r);
    const bool special = IsSpecialDrawState(false);
    const bool pressed = (DrawState & dsHighlight) && (DrawState & dsClicked);
    // Under high contrast the fixed XP colours give way to the system's, so the caption (drawn in the
    // font's system colour) stays readable on the face and the band still marks the focus.
    const bool highContrast = CurrentPlatform().HighContrast();
    if (highContrast) {
        canvas.Brush()->SetColor(special ? clHighlight : clBtnFace);
        canvas.FillRect({line, line, w - line, h - line});
        canvas.Brush()->SetColor(clBtnFace);
        if (special) canvas.FillRect({3 * line, 3 * line, w - 3 * line, h - 3 * line});
    } else {
        if (special)
            CopyBitmapAt(canvas, (DrawState & dsHighlight) ? *highlight_ : *focus_, line, line, w, h);
        if (pressed) {
            CopyBitmapAt(canvas, *pressed_, line, line, w, h);
        } else {
            const std::int32_t s = special ? line : 0;
            CopyBitmapAt(canvas, *background_, line + 2 * s, line + 2 * s, w - 6 * s, h - 6 * s);
        }
    }

    canvas.Pen()->SetColor(highContrast ? (Enabled() ? clBtnText : clGrayText)
                           : Enabled()  ? kFrameColor
                                        : kDisabledColor);
    canvas.Brush()->SetStyle(bsClear);
    // A wider frame is that many rounded rings, each one a pixel further in with a smaller corner.
    for (std::int32_t i = 0; i < line; ++i)
        canvas.RoundRect({i, i, w - i, h - i}, std::max(1, 5 * line - 2 * i), std::max(1, 5 * line - 2 * i));
    if (smoothEdges_ && !highContrast) {
        // The corners' softening strokes, scaled and repeated one pixel in for each extra line.
        canvas.Pen()->SetColor(Enabled() ? kSmoothEdgeColor : kDisabledColor);
        for (std::int32_t i = 0; i < line; ++i) {
            LvXPDrawLine(canvas, i, line + i, 2 * line + i, i);
            LvXPDrawLine(canvas, w - 2 * line - i, i, w - i, 2 * line + i);
            LvXPDrawLine(canvas, i, h - 2 * line - i, 2 * line + i, h - i);
            LvXPDrawLine(canvas, w - 3 * line - i, h - i, w - i, h - 3 * line - i);
        }
    }

    std::uint32_t flags = DT_END_ELLIPSIS | (wordWrap_ ? DT_WORDBREAK : 0u);
    // A copy: painting never alters the stored glyph.
    TLvPicture picture;
    picture.Assign(glyph_.get());
    if (autoGray_ && !Enabled()) LvXPConvertToGray2(*picture.Bitmap());
    canvas.Font()->Assign(*Font());

    TGraphic* glyph = picture.Graphic();
    const bool hasGlyph = glyph != nullptr && !glyph->Empty();
    const std::int32_t repeat = GlyphRepeat();
    const std::int32_t gw = hasGlyph ? glyph->Width() * repeat : 0;
    const std::int32_t gh = hasGlyph ? glyph->Height() * repeat : 0;
    const std::int32_t sp = MulDiv(spacing_, ScreenDpi(), 96);
    if (hasGlyph) {
        switch (layout_) {
        case blGlyphLeft: r.Left += gw + sp; break;
        case blGlyphRight:
            r.Left -= gw + sp;
            r.Right -= 2 * (gw + sp);
            flags |= DT_RIGHT;
            break;
        case blGlyphTop: r.Top += gh + sp; break;
        case blGlyphBottom: r.Top -= gh + sp; break;
        }
    }
    LvXPRenderText(this, canvas, Caption(), *Font(), Enabled(), showAccelChar_, r, flags | DT_CALCRECT);
    // Centres glyph, spacing and caption together: r still carries the glyph's room.
    r = r.Offset((w - r.Right) / 2, (h - r.Bottom) / 2);
    if (pressed) r = r.Offset(line, line);

    if (hasGlyph) {
        glyph->SetTransparent(true);
        const std::int32_t p = pressed ? line : 0;
        TPoint at;
        switch (layout_) {
        case blGlyphLeft: at = {r.Left - gw - sp, (h - gh) / 2 + p}; break;
        case blGlyphRight: at = {r.Right + sp, (h - gh) / 2 + p}; break;
        case blGlyphTop: at = {(w - gw) / 2 + p, r.Top - gh - sp}; break;
        case blGlyphBottom: at = {(w - gw) / 2 + p, r.Bottom + sp}; break;
        }
        if (repeat == 1)
            canvas.Draw(at.X, at.Y, glyph);
        else
            canvas.StretchDraw(Bounds(at.X, at.Y, gw, gh), glyph);
    }
    if ((DrawState & dsFocused) && showFocusRect_) {
        canvas.Brush()->SetStyle(bsSolid);
        for (std::int32_t i = 0; i < line; ++i)
            canvas.DrawFocusRect({3 * line + i, 3 * line + i, w - 3 * line - i, h - 3 * line - i});
    }
    canvas.BackgroundTransparent = true;
    LvXPRenderText(this, canvas, Caption(), *Font(), Enabled(), showAccelChar_, r, flags);
    canvas.BackgroundTransparent = false;
}

void TLvXPCustomButton::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    if (Key == VK_SPACE && !(Shift & (ssShift | ssCtrl | ssAlt))) {
        DrawState |= dsHighlight;
        HookMouseDown();
    }
    TLvXPCustomStyleControl::KeyDown(Key, Shift);
}

void TLvXPCustomButton::KeyUp(std::uint16_t& Key, TShiftState Shift) {
    if (DrawState & dsClicked) {
        const TPoint p = ScreenToClient(CurrentPlatform().GetCursorPos());
        if (!ClientRect().Contains(p)) DrawState &= static_cast<TLvXPDrawState>(~dsHighlight);
        DrawState &= static_cast<TLvXPDrawState>(~dsClicked);
        LockedInvalidate();
        Click();
    }
    TLvXPCustomStyleControl::KeyUp(Key, Shift);
}

void TLvXPCustomButton::CMDialogKey(TMessage& m) {
    const auto key = static_cast<std::uint16_t>(m.WParam);
    const TShiftState shift = KeyDataToShiftState(m.LParam);
    const bool enter = key == VK_RETURN && (Focused() || (default_ && !SiblingActive));
    const bool escape = key == VK_ESCAPE && Cancel && !(shift & (ssShift | ssCtrl | ssAlt));
    if (CanFocus() && (enter || escape)) {
        Click();
        m.Result = 1;
        return;
    }
    TLvXPCustomStyleControl::CMDialogKey(m);
}

void TLvXPCustomButton::DescribeAccessible(AccessibleDescription& d) {
    TLvXPCustomStyleControl::DescribeAccessible(d);
    d.role = AccessibleRole::PushButton;
    d.name = showAccelChar_ ? accessibility::StripAccelerators(Caption()) : Caption();
    d.keyboardShortcut = showAccelChar_ ? accessibility::ShortcutFromCaption(Caption()) : std::string();
    d.defaultAction = "Press";
    if (default_) d.states |= kAccessibleDefault;
}

bool TLvXPCustomButton::AccessibleDefaultAction() {
    Click();
    return true;
}
