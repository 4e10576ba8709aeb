// The control base of the custom-drawn edit: TLcCustomControl (own background, update counter,
// pointer and focus tracking, flat border, theme decision, after-enter/after-exit notifications),
// TLcCustomPanel (control style and colour) and TLcCustomBevelPanel (a TLcBevel turned into the
// window's border and drawing).
//
// The toolkit has no non-client area, so a window border lives here: the creation parameters decide
// a border (WS_BORDER one pixel, WS_EX_CLIENTEDGE two), ClientRect excludes it, and the control draws
// it after its own Paint. ClientRect stays in control coordinates, like every drawing of the toolkit.
#pragma once

#include "edit/lc_bevel.h"
#include "framework/controls/custom_control.h"

#include <memory>
#include <string>

// Window styles that the creation parameters use.
constexpr std::uint32_t LC_WS_BORDER = 0x00800000;
constexpr std::uint32_t LC_WS_CLIPCHILDREN = 0x02000000;
constexpr std::uint32_t LC_WS_EX_TRANSPARENT = 0x00000020;
constexpr std::uint32_t LC_WS_EX_CLIENTEDGE = 0x00000200;
constexpr std::uint32_t LC_CS_VREDRAW = 0x0001;
constexpr std::uint32_t LC_CS_HREDRAW = 0x0002;

// Notifications a control posts to itself once a focus change has been handled.
constexpr std::uint32_t LCM_AFTERENTER = CM_BASE + 0x100;
constexpr std::uint32_t LCM_AFTEREXIT = CM_BASE + 0x101;
// The platform's theme-changed and system-colour-changed notifications.
constexpr std::uint32_t LC_WM_THEMECHANGED = 0x031A;
constexpr std::uint32_t LC_WM_SYSCOLORCHANGE = 0x0015;

struct TLcCreateParams {
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
    std::uint32_t WindowClassStyle = LC_CS_HREDRAW | LC_CS_VREDRAW;
};

// Theme part and states of the edit frame.
constexpr int EP_EDITTEXT = 1;
constexpr int ETS_NORMAL = 1;
constexpr int ETS_HOT = 2;
constexpr int ETS_DISABLED = 4;
constexpr int ETS_FOCUSED = 5;
constexpr int ETS_READONLY = 6;

class TLcCustomControl : public TCustomControl {
public:
    explicit TLcCustomControl(TComponent* AOwner);
    ~TLcCustomControl() override;

    bool MouseAbove = false;
    bool Entered = false;
    bool RepaintOnChange = true;
    // The framework's three-dimensional look; the classic border styles depend on it.
    bool Ctl3D = true;
    TNotifyEvent OnAfterEnter;
    TNotifyEvent OnAfterExit;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;

    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool CtlXP() const { return ctlXP_; }
    // A change counts as a theme change.
    void SetCtlXP(bool value);
    std::int32_t UpdateCount() const { return updateCount_; }

    void BeginUpdate() { ++updateCount_; }
    bool IsUpdating() const { return updateCount_ > 0; }
    // Theme drawing is in use for this control.
    bool UseXP();
    // The window's creation parameters as they stand now (recomputed, not the ones in use).
    TLcCreateParams CurrentCreateParams() { return BuildCreateParams(); }
    // The border of the window as made: 0, 1 (WS_BORDER) or 2 (WS_EX_CLIENTEDGE) pixels.
    std::int32_t WindowBorderWidth() const { return windowBorder_; }
    TRect ClientRect() const override;
    // Makes the window anew, so that changed creation parameters take effect.
    void RecreateWnd();
    void WndProc(TMessage& Message) override;

    // Virtual operations, in slot order.
    virtual void DoThemeChanged();
    virtual bool IsXPPartiallyTransparent() { return false; }
    virtual bool ControlSupportsXP() { return false; }
    virtual bool XPSupportsTransparency() { return false; }
    virtual void DoMove() {}
    virtual TRect GetMoveRect() { return ClientRect(); }
    virtual TRect GetSizeRect() { return {}; }
    virtual bool fcGetFocused() { return Focused(); }
    virtual bool fcGetMouseAbove() { return MouseAbove; }
    virtual bool fcGetTransparent() { return transparent_; }
    virtual bool fcGetBackCtlXP() { return ctlXP_; }
    virtual bool fcGetBorderCtlXP() { return ctlXP_; }
    virtual bool fcGetBorderCtl3D() { return Ctl3D; }
    virtual bool fcGetEnabled() { return Enabled(); }
    virtual TColor fcGetBackColor() { return Color(); }
    virtual TFont* GetFont() { return Font(); }
    virtual TObject* GetFont3D() { return nullptr; }
    virtual bool GetTransparent() { return transparent_; }
    virtual bool GetBackCtlXP() { return ctlXP_; }
    virtual TColor GetBackColor() { return Color(); }
    virtual TObject* GetFillObject() { return nullptr; }
    virtual TObject* GetBackFX() { return nullptr; }
    virtual bool GetBorderCtlXP() { return ctlXP_; }
    virtual bool GetBorderCtl3D() { return Ctl3D; }
    virtual TLcBevel* GetBevel() { return nullptr; }
    virtual void DoForwardBackFX() {}
    virtual void DoFlatChanged();
    // A parent-provided background bitmap would make the own fill unnecessary; none is provided.
    virtual bool CheckOptimized() { return false; }
    virtual void FillControl();
    virtual void GetChange(TObject* Sender);
    virtual bool GetEmpty() { return false; }
    virtual bool GetReadOnly() { return false; }
    virtual void GetIMLChange(TObject*) {}
    virtual void MouseEnter();
    virtual void MouseExit();
    virtual void EndUpdate(bool notify);
    virtual TObject* BackBitmap() { return nullptr; }
    virtual bool BackBitmapCheck() { return false; }
    virtual bool BackDrawArea(TCanvas*, const TRect&) { return false; }
    virtual bool isTransparentSet() { return transparent_; }
    virtual TPoint BackMapPoint(TPoint p) { return p; }
    virtual std::uint32_t BackBitmapPalette() { return 0; }
    virtual void BackUpdate() {}
    virtual TControl* BackControl(int) { return nullptr; }
    virtual int BackControlCount() { return 0; }

    // Further overridable operations.
    virtual void DoEnter();
    virtual void DoExit();
    virtual void RestoreBorderFront();
    virtual void RestoreBorderBack();
    virtual void GetXPBevelParams(std::string& themeClass, int& part, int& state);
    // Draws the theme's frame of (part, state) into rect.
    void BevelXP(TCanvas& canvas, const TRect& rect);

protected:
    virtual void CreateParams(TLcCreateParams& params);
    void CreateWnd() override;
    void Paint() override;
    void PaintWindow(DeviceContext& DC) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void ScaleBy(std::int32_t multiplier, std::int32_t divisor) override;
    // Draws the window border (the part outside ClientRect) after Paint.
    virtual void PaintWindowBorder(TCanvas& canvas);

private:
    TLcCreateParams BuildCreateParams();
    std::int32_t BorderWidthOf(const TLcCreateParams& params) const;

    bool flat_ = false;
    bool transparent_ = false;
    bool ctlXP_ = true;
    std::int32_t updateCount_ = 0;
    std::int32_t windowBorder_ = 0;
};

class TLcCustomPanel : public TLcCustomControl {
public:
    explicit TLcCustomPanel(TComponent* AOwner);
};

class TLcCustomBevelPanel : public TLcCustomPanel {
public:
    explicit TLcCustomBevelPanel(TComponent* AOwner);
    ~TLcCustomBevelPanel() override;

    TLcBevel* Bevel() const { return bevel_.get(); }
    void SetBevel(const TLcBevel& value) { bevel_->Assign(value); }

    TLcBevel* GetBevel() override { return bevel_.get(); }
    void GetChange(TObject* Sender) override;
    void DoThemeChanged() override;
    void DoEnter() override;
    void MouseEnter() override;

protected:
    void CreateParams(TLcCreateParams& params) override;
    void ScaleBy(std::int32_t multiplier, std::int32_t divisor) override;

private:
    std::unique_ptr<TLcBevel> bevel_;
};
