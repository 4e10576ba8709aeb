// End-to-end: the pointer's shape over the real lentaro under Xvfb. Over the zoom power's text the
// desktop's text pointer shows, over its spin button and over the view the arrow. The shapes are
// compared as the X server shows them (XFixes cursor images) with the same named shapes shown by a
// window of the test's own.
// GoogleTest comes before the X headers, whose None macro would break it.
#include <gtest/gtest.h>

#include "tests/e2e_x11/lentaro_x11_fixture.h"

#include <X11/Xcursor/Xcursor.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xfixes.h>

#include <vector>

namespace {

using namespace lentaro_e2e;

// A cursor as the server shows it: size, hot spot and ARGB pixels.
struct CursorPicture {
    int width = 0, height = 0, xhot = 0, yhot = 0;
    std::vector<unsigned long> pixels;
    bool operator==(const CursorPicture&) const = default;
};

class LentaroPointerShapeTest : public LentaroX11Test {
protected:
    CursorPicture Shown() {
        CursorPicture picture;
        XFixesCursorImage* image = XFixesGetCursorImage(client->Get());
        if (image == nullptr) return picture;
        picture = {image->width, image->height, image->xhot, image->yhot,
                   std::vector<unsigned long>(image->pixels, image->pixels + image->width * image->height)};
        XFree(image);
        return picture;
    }
    // The picture of a theme's named shape (the core font's glyph where no theme has it), shown by
    // a small window of our own far from lentaro's.
    CursorPicture Reference(const char* name, unsigned int fontShape) {
        Display* d = client->Get();
        XSetWindowAttributes attrs{};
        attrs.override_redirect = True;
        const Window probe = XCreateWindow(d, DefaultRootWindow(d), 980, 720, 30, 30, 0, CopyFromParent,
                                           InputOutput, CopyFromParent, CWOverrideRedirect, &attrs);
        Cursor cursor = XcursorLibraryLoadCursor(d, name);
        if (cursor == 0) cursor = XCreateFontCursor(d, fontShape);
        XDefineCursor(d, probe, cursor);
        XMapRaised(d, probe);
        XSync(d, False);
        client->MovePointer(995, 735);
        CursorPicture picture = Shown();
        XDestroyWindow(d, probe);
        XFreeCursor(d, cursor);
        XSync(d, False);
        return picture;
    }
    // Moves the pointer to a client point and waits until the server shows `expected` there.
    bool ShowsAt(int x, int y, const CursorPicture& expected) {
        client->MovePointer(viewX + x, viewY + y);
        return e2e::WaitUntil([&] { return Shown() == expected; }, 3s);
    }
};

TEST_F(LentaroPointerShapeTest, TextPointerOverTheEditsTextArrowOverItsButtonAndTheView) {
    int eventBase = 0, errorBase = 0;
    ASSERT_TRUE(XFixesQueryExtension(client->Get(), &eventBase, &errorBase)) << "no XFixes on the server";
    const CursorPicture text = Reference("xterm", XC_xterm);
    const CursorPicture arrow = Reference("left_ptr", XC_left_ptr);
    ASSERT_FALSE(text.pixels.empty());
    ASSERT_NE(text, arrow);
    StartLentaro();
    // The zoom power edit lies at (0, 272), 65 x 21, with a 2-pixel border: its text area runs from
    // x 2, and its button takes the square at the right end of the inside, x 47..63, y 274..290.
    const struct {
        const char* place;
        int x, y;
        const CursorPicture& shape;
    } places[] = {
        {"the zoom power's text", 8, 282, text},
        {"its spin button", 55, 282, arrow},
        {"the view", 60, 60, arrow},
        {"the zoom power's text again", 12, 280, text},
    };
    for (const auto& p : places) EXPECT_TRUE(ShowsAt(p.x, p.y, p.shape)) << "over " << p.place;
}

} // namespace
