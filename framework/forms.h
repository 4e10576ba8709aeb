// Forms (top-level windows, the only controls that are platform windows) and the screen object.
#pragma once

#include "framework/custom_control.h"

#include <functional>
#include <vector>

enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

using TBorderIcons = std::uint8_t;
constexpr TBorderIcons biSystemMenu = 1u << 0;
constexpr TBorderIcons biMinimize = 1u << 1;
constexpr TBorderIcons biMaximize = 1u << 2;
constexpr TBorderIcons biHelp = 1u << 3;

using TModalResult = std::int32_t;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TCloseAction = std::uint8_t;
constexpr TCloseAction caNone = 0, caHide = 1, caFree = 2, caMinimize = 3;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TCustomForm : public TCustomControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Left, Top, Width and Height of a form are its outer bounds in screen pixels.
    void SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight) override;
    TRect ClientRect() const override;
    TPoint FormOrigin() const override { return {0, 0}; }
    TPoint ClientOriginOnScreen() const;
    void SetClientSize(std::int32_t width, std::int32_t height);

    TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
    TFormBorderStyle BorderStyle = bsSizeable;
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState state);
    TModalResult ModalResult = mrNone;
    // Stored with the window's design; the window keeps them for its layout and scaling.
    bool OldCreateOrder = false;
    TSize DesignSize;
    std::int32_t PixelsPerInch = 96;
    std::int32_t TextHeight = 13;
    TCanResizeEvent OnCanResize;
    TCloseEvent OnClose;

    void Show();
    void Hide();
    // For the main form this ends the program; other forms are hidden.
    void Close();

    WindowId PlatformWindow() const { return platformWindow_; }
    // Marks part of the client area for the next paint cycle.
    void InvalidateFormRect(const TRect& rect);
    bool PaintPending() const { return !invalid_.IsEmpty(); }
    // Runs the paint cycle for the invalid area now.
    void PaintNow();
    // Input, size and close notifications from the platform for this form's window.
    void HandlePlatformEvent(const PlatformEvent& event);
    void Invalidate() override;

protected:
    // The kind of platform window the form asks for (pop-up menus ask for WindowKind::Popup).
    virtual WindowKind PlatformWindowKind() const { return WindowKind::Main; }
    void CreateWnd() override;
    void DestroyWnd() override;
    void CMTextChanged(TMessage& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    // Asks OnCanResize before a platform-announced size change; the new size is then taken.
    virtual bool CanResize(int& NewWidth, int& NewHeight);

private:
    void PaintTree(TWinControl* control, const TRect& area);
    void RouteMouse(const PlatformEvent& event);
    FrameMetrics Frame() const;

    WindowId platformWindow_ = 0;
    TRect invalid_;
    TWindowState windowState_ = wsNormal;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

class TScreen {
public:
    // The primary display's size, read afresh at each use.
    std::int32_t Width() const;
    std::int32_t Height() const;
    const std::vector<TCustomForm*>& Forms() const { return forms_; }
    TCustomForm* FindForm(WindowId window) const;
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);

private:
    std::vector<TCustomForm*> forms_;
};

extern TScreen* Screen;
