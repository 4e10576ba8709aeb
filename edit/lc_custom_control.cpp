#include "edit/lc_custom_control.h"

#include "edit/lc_application.h"
#include "framework/forms/forms.h"
#include "framework/graphics/draw_edge.h"

namespace {

TRect Inset(const TRect& r, std::int32_t n) { return {r.Left + n, r.Top + n, r.Right - n, r.Bottom - n}; }

// A one-colour ring `width` pixels wide.
void Ring(TCanvas& canvas, const TRect& r, TColor colour, std::int32_t width) {
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(colour);
    for (std::int32_t i = 0; i < width; ++i) {
        const TRect ring = Inset(r, i);
        if (ring.IsEmpty()) return;
        canvas.FrameRect(ring);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TLcCustomControl

TLcCustomControl::TLcCustomControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(Left(), Top(), 100, 40);
    TabStop = false;
}

TLcCustomControl::~TLcCustomControl() = default;

void TLcCustomControl::SetFlat(bool value) {
    if (value == flat_) return;
    flat_ = value;
    DoFlatChanged();
}

void TLcCustomControl::DoFlatChanged() { Invalidate(); }

void TLcCustomControl::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Invalidate();
}

void TLcCustomControl::SetCtlXP(bool value) {
    if (value == ctlXP_) return;
    ctlXP_ = value;
    DoThemeChanged();
}

bool TLcCustomControl::UseXP() {
    // The switch answers for the platform too: on, and a theme active.
    return ControlSupportsXP() && LcApplication().GetUseXPThemes() && GetBorderCtlXP();
}

void TLcCustomControl::EndUpdate(bool notify) {
    if (updateCount_ > 0) --updateCount_;
    if (updateCount_ == 0 && notify) GetChange(nullptr);
}

void TLcCustomControl::GetChange(TObject*) {
    if (RepaintOnChange) Invalidate();
}

void TLcCustomControl::DoThemeChanged() {
    Invalidate();
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(LC_WM_THEMECHANGED, 0, 0);
}

void TLcCustomControl::CreateParams(TLcCreateParams& params) {
    params.Style |= LC_WS_CLIPCHILDREN;
    // A size change does not repaint the whole window by itself.
    params.WindowClassStyle &= ~(LC_CS_HREDRAW | LC_CS_VREDRAW);
}

TLcCreateParams TLcCustomControl::BuildCreateParams() {
    TLcCreateParams params;
    CreateParams(params);
    return params;
}

std::int32_t TLcCustomControl::BorderWidthOf(const TLcCreateParams& params) const {
    if (params.ExStyle & LC_WS_EX_CLIENTEDGE) return 2 * FrameLineWidth();
    if (params.Style & LC_WS_BORDER) return FrameLineWidth();
    return 0;
}

void TLcCustomControl::ScaleBy(std::int32_t multiplier, std::int32_t divisor) {
    // The border is drawn at the new density's line width: the client area follows it.
    windowBorder_ = BorderWidthOf(BuildCreateParams());
    TCustomControl::ScaleBy(multiplier, divisor);
}

void TLcCustomControl::CreateWnd() {
    windowBorder_ = BorderWidthOf(BuildCreateParams());
    TCustomControl::CreateWnd();
}

void TLcCustomControl::RecreateWnd() {
    // Without a window the parameters still decide the border the window will get.
    windowBorder_ = BorderWidthOf(BuildCreateParams());
    if (!HandleAllocated()) return;
    DestroyWnd();
    CreateWnd();
    Invalidate();
}

TRect TLcCustomControl::ClientRect() const { return Inset({0, 0, width_, height_}, windowBorder_); }

void TLcCustomControl::FillControl() {
    if (CheckOptimized() || GetTransparent()) return;
    TCanvas& canvas = *Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(GetBackColor());
    canvas.FillRect(ClientRect());
}

void TLcCustomControl::Paint() { FillControl(); }

void TLcCustomControl::PaintWindow(DeviceContext& DC) {
    TCustomControl::PaintWindow(DC);
    if (windowBorder_ == 0) return;
    TCanvas& canvas = *Canvas();
    canvas.Lock();
    canvas.SetHandle(DC);
    try {
        PaintWindowBorder(canvas);
    } catch (...) {
        canvas.SetHandle(std::nullopt);
        canvas.Unlock();
        throw;
    }
    canvas.SetHandle(std::nullopt);
    canvas.Unlock();
}

void TLcCustomControl::PaintWindowBorder(TCanvas& canvas) {
    TRect r{0, 0, Width(), Height()};
    const std::int32_t line = FrameLineWidth();
    if (windowBorder_ == line) {
        Ring(canvas, r, clWindowFrame, line);
        return;
    }
    if (flat_) {
        // A flat border shows its edge only while focused or hovered; otherwise it blends into the form.
        if (Focused() || MouseAbove) {
            Ring(canvas, r.Offset(line, line), clWindowFrame, line);
            Ring(canvas, {r.Left, r.Top, r.Right - line, r.Bottom - line}, clBtnFace, line);
            DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT, line);
        } else {
            Ring(canvas, r, clBtnFace, line);
            Ring(canvas, Inset(r, line), Ctl3D ? clBtnFace : clWindowFrame, line);
        }
        return;
    }
    DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT, line);
}

void TLcCustomControl::RestoreBorderFront() {
    // The border is drawn with the control; its look follows focus and pointer, so a repaint shows it.
    if (flat_) Invalidate();
}

void TLcCustomControl::RestoreBorderBack() {
    if (Focused() || !flat_ || MouseAbove) return;
    Invalidate();
}

void TLcCustomControl::GetXPBevelParams(std::string& themeClass, int& part, int& state) {
    themeClass = "EDIT";
    part = EP_EDITTEXT;
    state = ETS_NORMAL;
    if (Focused()) state = ETS_FOCUSED;
    if (MouseAbove) state = ETS_HOT;
    if (GetReadOnly()) state = ETS_READONLY;
    if (!Enabled()) state = ETS_DISABLED;
}

void TLcCustomControl::BevelXP(TCanvas& canvas, const TRect& rect) {
    std::string themeClass;
    int part = 0;
    int state = 0;
    GetXPBevelParams(themeClass, part, state);
    // Where the theme went away meanwhile, nothing is drawn; the next theme change re-creates the
    // window with its classic border.
    static_cast<void>(canvas.DrawThemePart(rect, themeClass, part, state));
}

void TLcCustomControl::DoEnter() {
    TMessage m{CM_ENTER, 0, 0, 0};
    TCustomControl::CMEnter(m);
    Entered = true;
    if (flat_) RestoreBorderFront();
}

void TLcCustomControl::DoExit() {
    Entered = false;
    RestoreBorderBack();
    TMessage m{CM_EXIT, 0, 0, 0};
    TCustomControl::CMExit(m);
}

void TLcCustomControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
    MouseAbove = true;
    // The themed frame shows the hot state.
    if (UseXP()) Invalidate();
}

void TLcCustomControl::MouseExit() {
    MouseAbove = false;
    if (!Entered && flat_) RestoreBorderBack();
    if (OnMouseExit) OnMouseExit(this);
    if (UseXP()) Invalidate();
}

void TLcCustomControl::WMSetFocus(TMessage& m) {
    TCustomControl::WMSetFocus(m);
    message_queue::PostMessage(Handle(), LCM_AFTERENTER, 0, 0);
}

void TLcCustomControl::WMKillFocus(TMessage& m) {
    TCustomControl::WMKillFocus(m);
    message_queue::PostMessage(Handle(), LCM_AFTEREXIT, 0, 0);
}

void TLcCustomControl::WMSize(TMessage& m) {
    TCustomControl::WMSize(m);
    if (!transparent_) Invalidate();
}

void TLcCustomControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case CM_ENTER: DoEnter(); break;
    case CM_EXIT: DoExit(); break;
    case CM_MOUSEENTER:
        TCustomControl::WndProc(m);
        MouseEnter();
        break;
    case CM_MOUSELEAVE:
        TCustomControl::WndProc(m);
        MouseExit();
        break;
    case LCM_AFTERENTER:
        if (OnAfterEnter) OnAfterEnter(this);
        break;
    case LCM_AFTEREXIT:
        if (OnAfterExit) OnAfterExit(this);
        break;
    case LC_WM_THEMECHANGED: DoThemeChanged(); break;
    case LC_WM_SYSCOLORCHANGE:
        if (!transparent_) Invalidate();
        break;
    default: TCustomControl::WndProc(m); break;
    }
}

// ---------------------------------------------------------------------------------------------------
// TLcCustomPanel

TLcCustomPanel::TLcCustomPanel(TComponent* AOwner) : TLcCustomControl(AOwner) {
    ControlStyle =
        csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks | csAcceptsControls | csReplicatable;
    SetColor(clBtnFace);
}

// ---------------------------------------------------------------------------------------------------
// TLcCustomBevelPanel

TLcCustomBevelPanel::TLcCustomBevelPanel(TComponent* AOwner)
    : TLcCustomPanel(AOwner), bevel_(std::make_unique<TLcBevel>()) {
    bevel_->SetWindowBorder(true);
    bevel_->OnChange = [this](TObject* sender) { GetChange(sender); };
}

TLcCustomBevelPanel::~TLcCustomBevelPanel() { bevel_->OnChange = nullptr; }

void TLcCustomBevelPanel::GetChange(TObject* Sender) {
    if (HasState(csLoading | csReading | csDestroying)) return;
    if (Sender != bevel_.get()) {
        TLcCustomPanel::GetChange(Sender);
        return;
    }
    // The border style is a creation parameter.
    RecreateWnd();
}

void TLcCustomBevelPanel::ScaleBy(std::int32_t multiplier, std::int32_t divisor) {
    TLcCustomPanel::ScaleBy(multiplier, divisor);
    bevel_->SetLineWidth(FrameLineWidth());
}

void TLcCustomBevelPanel::DoThemeChanged() {
    if (!HasState(csLoading)) RecreateWnd();
    TLcCustomPanel::DoThemeChanged();
}

void TLcCustomBevelPanel::DoEnter() {
    if (!Focused() && Flat()) RestoreBorderFront();
    TLcCustomPanel::DoEnter();
}

void TLcCustomBevelPanel::MouseEnter() {
    MouseAbove = true;
    if (!Focused() && Flat() && !Entered) RestoreBorderFront();
    TLcCustomPanel::MouseEnter();
}

void TLcCustomBevelPanel::CreateParams(TLcCreateParams& params) {
    TLcCustomPanel::CreateParams(params);
    if (bevel_->Mode() != bmWindows) return;
    if (Ctl3D)
        params.ExStyle |= LC_WS_EX_CLIENTEDGE;
    else
        params.Style |= LC_WS_BORDER;
    if (UseXP()) {
        params.ExStyle &= ~LC_WS_EX_CLIENTEDGE;
        params.Style &= ~LC_WS_BORDER;
    }
}
