// The toolkit's caret: one for the whole program, as on the classic platform. It belongs to one
// windowed control at a time, stands at a point of that control's client area, and is drawn by
// inverting its rectangle in the form's back surface (or by XOR-ing a caret picture: its white pixels
// invert, its black ones leave the picture alone). Inverting twice restores the picture, so the caret
// steps aside before anything is drawn under it and comes back afterwards.
//
// It blinks on its own toolkit timer at its own blink time (no desktop-wide setting is touched), is
// drawn only while its form is the active window, and shows at once whenever it is shown or moved.
// Like the desktop's own carets it stops blinking, shown, once the user has left the program alone
// for kBlinkTimeoutMs, so an idle program does not wake twice a second; a key, a press or the
// wheel starts it again.
#pragma once

#include "framework/platform/geometry.h"

#include <cstdint>

class TWinControl;
class TControlHost;
class PixelSurface;

namespace caret {

// Makes a new caret for `owner`, hidden, at (0, 0), of width x height pixels (the size of `shape`
// when one is given). Any other caret of the program is destroyed first.
void Create(TWinControl* owner, std::int32_t width, std::int32_t height, const PixelSurface* shape = nullptr);
// Destroys the caret if `owner` has it; false otherwise.
bool Destroy(TWinControl* owner);
// Shows or hides the caret of `owner`; false, doing nothing, when `owner` has no caret.
bool Show(TWinControl* owner);
bool Hide(TWinControl* owner);
// Moves the caret of `owner` to a point of its client area.
bool SetPos(TWinControl* owner, TPoint position);

// Milliseconds per blink phase; 0 keeps the caret steady.
void SetBlinkTime(std::uint32_t ms);
std::uint32_t BlinkTime();
// How long the caret blinks after the last input or caret move.
constexpr std::uint64_t kBlinkTimeoutMs = 5000;
// The user pressed a key or a button or turned the wheel: the caret blinks again.
void UserInput();
// Blinking now (false once it has stopped after the timeout, or for a steady caret).
bool Blinking();

TWinControl* Owner();
// Shown by its owner (it may still be in the hidden blink phase).
bool Visible();
// Inverted on the form's surface right now.
bool Drawn();
TPoint Position();
TSize Size();

// Drawing over the caret's form (the paint cycle): the caret steps aside until EndPaint.
void BeginPaint(const TControlHost* form);
void EndPaint(const TControlHost* form);
// A control is going: its caret goes with it.
void ControlDestroyed(TWinControl* control);
// The form's activation or the owner's visibility changed: draws or removes the caret to match.
void Refresh();

} // namespace caret
