#include "framework/platform/x11/x11_image.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace x11_errors {
namespace {
int gLastError = 0;

int RecordError(Display*, XErrorEvent* event) {
    gLastError = event->error_code;
    return 0;
}

int ConnectionLost(Display*) {
    // Xlib ends the process after this returns; say why instead of a bare library message.
    std::fputs("Lentaro: the connection to the X display was lost\n", stderr);
    std::_Exit(0);
}
} // namespace

void Install() {
    XSetErrorHandler(&RecordError);
    XSetIOErrorHandler(&ConnectionLost);
}
void Reset() { gLastError = 0; }
int Check(Display* display) {
    XSync(display, False);
    return gLastError;
}
} // namespace x11_errors

bool X11Image::Ensure(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    if (image_ != nullptr && image_->width == width && image_->height == height) return true;
    Free();
    if (tryShm_ && CreateShared(width, height)) return true;
    tryShm_ = false; // one failure is enough to stop trying
    return CreatePlain(width, height);
}

bool X11Image::CreateShared(int width, int height) {
    image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &shm_,
                             static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (image_ == nullptr) return false;
    const std::size_t size =
        static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(height);
    shm_.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (shm_.shmid < 0) {
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    shm_.shmaddr = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
    if (shm_.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(shm_.shmid, IPC_RMID, nullptr);
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    image_->data = shm_.shmaddr;
    shm_.readOnly = False;
    x11_errors::Reset();
    const bool attached = XShmAttach(display_, &shm_) != 0 && x11_errors::Check(display_) == 0;
    // Marked for removal now: the segment goes when both sides detach, even after a crash.
    shmctl(shm_.shmid, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(shm_.shmaddr);
        image_->data = nullptr;
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    shared_ = true;
    return true;
}

bool X11Image::CreatePlain(int width, int height) {
    image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (image_ == nullptr) return false;
    image_->data = static_cast<char*>(
        std::calloc(static_cast<std::size_t>(image_->bytes_per_line), static_cast<std::size_t>(height)));
    if (image_->data == nullptr) {
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    shared_ = false;
    return true;
}

void X11Image::Free() {
    if (image_ == nullptr) return;
    if (shared_) {
        XShmDetach(display_, &shm_);
        XSync(display_, False);
        shmdt(shm_.shmaddr);
        image_->data = nullptr;
    }
    XDestroyImage(image_); // frees plain data too
    image_ = nullptr;
    shared_ = false;
}

void X11Image::Put(Drawable target, GC gc, int srcX, int srcY, int dstX, int dstY, int width, int height) {
    if (image_ == nullptr) return;
    // A small rectangle (a caret blink) travels in the request itself: no round trip, so a blink
    // wakes the program once, not twice.
    constexpr int kSmallPutPixels = 4096;
    if (shared_ && width * height > kSmallPutPixels) {
        XShmPutImage(display_, target, gc, image_, srcX, srcY, dstX, dstY, static_cast<unsigned>(width),
                     static_cast<unsigned>(height), False);
        // No wait for the server: a drawing that overtakes this copy changes only pixels that are
        // presented again right after it, and the next round trip (the next tick's pointer query)
        // orders the two anyway. Waiting here cost a wake-up per drawing.
        XFlush(display_);
    } else {
        XPutImage(display_, target, gc, image_, srcX, srcY, dstX, dstY, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
        XFlush(display_);
    }
}

bool X11Image::Read(Drawable source, int x, int y) {
    if (image_ == nullptr) return false;
    x11_errors::Reset();
    if (shared_) {
        // A round trip: a refused read comes back as a zero status, no extra sync needed.
        return XShmGetImage(display_, source, image_, x, y, AllPlanes) != 0;
    }
    XImage* got = XGetSubImage(display_, source, x, y, static_cast<unsigned>(image_->width),
                               static_cast<unsigned>(image_->height), AllPlanes, ZPixmap, image_, 0, 0);
    return got != nullptr;
}
