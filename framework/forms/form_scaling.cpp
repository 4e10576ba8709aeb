// A form on the display: scaled to its monitor's pixel density when its window is made and when
// that density changes, and kept on a monitor's work area.
#include "framework/core/temporary_change.h"
#include "framework/forms/forms.h"
#include "framework/platform/monitors.h"

void TCustomForm::ScaleForDpi(std::int32_t dpi, const TRect& suggested) {
    dpi = SaneDpi(dpi);
    const std::int32_t from = SaneDpi(PixelsPerInch);
    if (dpi != from) {
        const TSize current = ClientSizeForOuter(width_, height_);
        // Before the window is made its client area is the one it was designed for: the stored outer
        // size assumed the frame of the design, which may be narrower than the system's at this scale.
        const bool designed = platformWindow_ == 0 && DesignSize.cx > 0 && DesignSize.cy > 0;
        const TSize client = designed ? DesignSize : current;
        {
            // Nothing is anchored until every control and the window have their new sizes.
            const TemporaryChange<bool> aligning(aligning_, true);
            // The controls read the new density while they scale (their frames' line widths).
            PixelsPerInch = dpi;
            horzScrollBar_.SetDpi(dpi);
            vertScrollBar_.SetDpi(dpi);
            // The frame the window gets at that scale (Windows draws it at the monitor's).
            const TSize frame = FrameSize();
            ScaleChildren(dpi, from);
            Font()->SetHeight(MulDiv(Font()->Height(), dpi, from));
            DesignSize = {MulDiv(DesignSize.cx, dpi, from), MulDiv(DesignSize.cy, dpi, from)};
            const TRect target = suggested.IsEmpty()
                                     ? Bounds(left_, top_, MulDiv(client.cx, dpi, from) + frame.cx,
                                              MulDiv(client.cy, dpi, from) + frame.cy)
                                     : suggested;
            SetBounds(target.Left, target.Top, target.Width(), target.Height());
        }
        if (!HasState(csLoading)) UpdateAnchorRulesOfChildren();
        Realign();
        Invalidate();
    } else if (!suggested.IsEmpty()) {
        SetBounds(suggested.Left, suggested.Top, suggested.Width(), suggested.Height());
    }
}

void TCustomForm::PlaceOnWorkArea() {
    const std::vector<MonitorInfo> monitors = CurrentMonitors(CurrentPlatform());
    const TRect bounds = BoundsRect();
    for (const MonitorInfo& m : monitors)
        if (m.workArea.Intersect(bounds) == bounds) return;
    const TRect placed = FitRectInto(bounds, MonitorForRect(monitors, bounds).workArea);
    SetBounds(placed.Left, placed.Top, placed.Width(), placed.Height());
}

std::int32_t TCustomForm::ScreenDpi() const { return SaneDpi(PixelsPerInch); }

std::int32_t TCustomForm::ScaledLength(std::int32_t designLength) const {
    return MulDiv(designLength, SaneDpi(PixelsPerInch), kDefaultDpi);
}

void TCustomForm::HandleDisplayChange(const PlatformEvent& e) {
    if (e.dpi > 0) ScaleForDpi(e.dpi, e.kind == PlatformEvent::Kind::DpiChanged ? e.outerBounds : TRect{});
    if (e.kind != PlatformEvent::Kind::DisplayChanged || windowState_ != wsNormal) return;
    // A window whose monitor went is brought onto one that is left; one still partly on a
    // monitor stays where the user put it.
    const TRect bounds = BoundsRect();
    for (const MonitorInfo& m : CurrentMonitors(CurrentPlatform()))
        if (!m.workArea.Intersect(bounds).IsEmpty()) return;
    PlaceOnWorkArea();
}
