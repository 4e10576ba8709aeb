// An XImage of a given size, in MIT shared memory when the server offers it (local connections),
// in ordinary memory otherwise. Used to present back surfaces and to read the screen.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

class X11Image {
public:
    X11Image(Display* display, Visual* visual, int depth, bool tryShm)
        : display_(display), visual_(visual), depth_(depth), tryShm_(tryShm) {}
    ~X11Image() { Free(); }
    X11Image(const X11Image&) = delete;
    X11Image& operator=(const X11Image&) = delete;

    // Makes sure the image is exactly width x height; false when no image could be made.
    bool Ensure(int width, int height);
    XImage* Get() const { return image_; }
    bool Shared() const { return shared_; }
    // Sends part of the image to a drawable (XShmPutImage or XPutImage).
    void Put(Drawable target, GC gc, int srcX, int srcY, int dstX, int dstY, int width, int height);
    // Fills the whole image from a drawable at (x, y); false when the server refuses.
    bool Read(Drawable source, int x, int y);

private:
    bool CreateShared(int width, int height);
    bool CreatePlain(int width, int height);
    void Free();

    Display* display_;
    Visual* visual_;
    int depth_;
    bool tryShm_;
    XImage* image_ = nullptr;
    bool shared_ = false;
    XShmSegmentInfo shm_{};
};

// Traps X protocol errors instead of letting Xlib end the program; the last code is kept.
namespace x11_errors {
void Install();
// Clears the recorded error, runs nothing else; call before a request whose failure matters.
void Reset();
// The error code seen since Reset (0 when none); syncs with the server first.
int Check(Display* display);
} // namespace x11_errors
