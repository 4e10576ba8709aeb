// How backends find the accessibility tree of a window: the form (or pop-up menu level) that owns
// the platform window is the root, and the caret's place comes from the toolkit's caret.
#pragma once

namespace accessibility {

// Registers the forms' tree provider (once; later calls do nothing).
void ProvideFormTrees();

} // namespace accessibility
