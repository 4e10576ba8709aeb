#include "zoom/screen_services.h"

#include "framework/platform/monitors.h"
#include "framework/platform/platform.h"

TLvDesktopCanvas::~TLvDesktopCanvas() { FreeHandle(); }

void TLvDesktopCanvas::CreateHandle() {
    if (screen_ == 0) screen_ = CurrentPlatform().AcquireScreen();
    if (screen_ == 0) return; // no surface: the drawing fails with "Canvas does not allow drawing"
    DeviceContext dc;
    dc.screen = screen_;
    dc.origin = origin_;
    SetHandle(dc);
}

void TLvDesktopCanvas::FreeHandle() {
    if (screen_ == 0) return;
    SetHandle(std::nullopt);
    CurrentPlatform().ReleaseScreen(screen_);
    screen_ = 0;
}

void TLvDesktopCanvas::SetOrigin(std::int32_t x, std::int32_t y) {
    origin_ = {x, y};
    if (HandleAllocated()) Handle().origin = origin_;
}

TPoint ReadCursorPos() { return CurrentPlatform().GetCursorPos(); }

TRect MonitorBoundsAt(TPoint p) { return MonitorAtPoint(CurrentMonitors(CurrentPlatform()), p).bounds; }
