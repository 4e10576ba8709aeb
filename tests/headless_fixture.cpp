#include "headless_fixture.h"

#include "framework/core/message_queue.h"

void HeadlessTest::SetUp() { SetCurrentPlatform(&platform); }

void HeadlessTest::TearDown() {
    message_queue::Reset();
    SetCurrentPlatform(nullptr);
}

void ApplicationTest::SetUp() {
    HeadlessTest::SetUp();
    app = std::make_unique<TApplication>(nullptr);
    app->SetTitle("Lentaro");
}

void ApplicationTest::TearDown() {
    app.reset();
    HeadlessTest::TearDown();
}

void ApplicationTest::AdvanceAndProcess(std::uint64_t ms) {
    platform.Advance(ms);
    app->ProcessMessages();
}

void ZoomViewTest::SetUp() {
    ApplicationTest::SetUp();
    form = new TForm(app.get());
    form->BeginLoading();
    form->SetBounds(660, 295, 258, 320);
    form->SetColor(clSilver);
    view = new TLvZoom(form);
    view->BeginLoading();
    view->SetParent(form);
    view->SetBounds(0, 0, 250, 250);
    view->SetZoomLevel(50);
    view->SetCrossHair(true);
    view->CrosshairColor = clBlue;
    form->Loaded();
    view->Loaded();
    form->Show();
    // The first repaint draws the view round the pointer; later tests start from a settled window.
    platform.SetPointer({500, 400});
    app->ProcessMessages();
}

std::uint32_t ZoomViewTest::ViewPixel(int x, int y) {
    PixelSurface* s = platform.WindowSurface(form->PlatformWindow());
    return s->Pixel(view->Left() + x, view->Top() + y);
}

void ZoomViewTest::MarkView(std::uint32_t pixel) {
    PixelSurface* s = platform.WindowSurface(form->PlatformWindow());
    raster::FillRect(*s, view->BoundsRect(), pixel, s->Bounds());
}

bool ZoomViewTest::ViewStillMarked(std::uint32_t pixel) {
    for (int y = 0; y < view->Height(); ++y)
        for (int x = 0; x < view->Width(); ++x)
            if (ViewPixel(x, y) != pixel) return false;
    return true;
}
