// What must hold in the main window whatever input it was given:
// - each spin edit: caret and selection inside the text; the suffix whole at the end; a number part
//   of an optional "-" and digits; Value() equal to that number (saturated to 32 bits; empty or a
//   lone "-" read 0); every change of Value reported through OnChange; and outside a pending edit
//   the text is Value's own decimal text and suffix, with Value inside MinValue..MaxValue. An edit
//   is editing while it has the focus in the active window; the focus leaving commits. An edit
//   changed without the focus (its context menu acts on it where it is) is left alone until the
//   focus has come and gone again;
// - the view: ZoomLevel as the reported zoom powers set it (ZoomPercentage := Value, where 0 and
//   levels below 1 change nothing), CrosshairSize the last reported crosshair size; each drawing
//   goes only where the view can be seen and shows the screen round the pointer (sample pixels);
// - the window: still up, no error box, no screen surface held after a drawing, at most one mark
//   in each of the menu's radio groups.
#pragma once

#include "app/main_window.h"
#include "framework/forms/application.h"
#include "framework/platform/headless/headless_platform.h"
#include "monkey_random.h"

#include <functional>
#include <string>

class MonkeyInvariants {
public:
    MonkeyInvariants(HeadlessPlatform& platform, TApplication& app, TLTfrm& main,
                     std::function<TPoint()> pointer, std::uint64_t seed);
    ~MonkeyInvariants();
    MonkeyInvariants(const MonkeyInvariants&) = delete;
    MonkeyInvariants& operator=(const MonkeyInvariants&) = delete;

    void CheckAfterInput();
    // Records the first failure only: later ones usually follow from it.
    void Fail(const std::string& what) {
        if (failure_.empty()) failure_ = what;
    }
    bool Failed() const { return !failure_.empty(); }
    const std::string& Failure() const { return failure_; }
    std::uint64_t Drawings() const { return drawings_; }

private:
    struct WatchedEdit {
        TLcSpinEdit* edit;
        const char* name;
        TNotifyEvent handler; // the window's own
        std::int32_t reported;
        bool changedWithoutFocus = false;
    };
    void Watch(WatchedEdit& watched, std::function<void()> reported);
    bool Editing(const TLcSpinEdit& edit) const { return main_.Active() && main_.ActiveControl() == &edit; }
    void PowerReported();
    void CheckEdit(WatchedEdit& watched);
    void CheckView();
    void CheckWindow();
    void CheckViewPicture();

    HeadlessPlatform& platform_;
    TApplication& app_;
    TLTfrm& main_;
    std::function<TPoint()> pointer_;
    MonkeyRandom samples_;
    std::string failure_;
    std::uint64_t drawings_ = 0;
    WatchedEdit power_, cross_;
    std::int32_t expectedZoomLevel_;
};
