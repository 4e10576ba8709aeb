#include "app/program_classes.h"

#include "app/main_window.h"
#include "framework/stored/class_registry.h"
#include "framework/stored/picture_data.h"
#include "spinedit/lc_spin_edit_classes.h"
#include "xp/lv_xp_buttons.h"
#include "zoom/lv_zoom.h"

namespace {

void RegisterZoomView(TClassRegistry& registry) {
    registry.Register<TLvExCustomControl>("TLvExCustomControl", "TCustomControl");
    registry.Register<TLvCustomControl>("TLvCustomControl", "TLvExCustomControl");
    TPropertyTable& t = registry
                            .Register<TLvZoom>("TLvZoom", "TLvCustomControl",
                                               [](TComponent* owner) { return new TLvZoom(owner); })
                            .properties;
    t.Boolean<TLvZoom>("Active", [](TLvZoom& z, bool v) { z.SetActive(v); });
    t.Integer<TLvZoom>("ZoomLevel", [](TLvZoom& z, std::int32_t v) { z.SetZoomLevel(v); });
    t.Unsigned<TLvZoom>("Delay", [](TLvZoom& z, std::uint32_t v) { z.SetDelay(v); });
    t.Boolean<TLvZoom>("Crosshair", [](TLvZoom& z, bool v) { z.SetCrossHair(v); });
    t.Color<TLvZoom>("CrosshairColor", [](TLvZoom& z, TColor v) { z.CrosshairColor = v; });
    t.Integer<TLvZoom>("CrosshairSize", [](TLvZoom& z, std::int32_t v) { z.CrosshairSize = v; });
    t.Boolean<TLvZoom>("CacheOnDeactivate", [](TLvZoom& z, bool v) { z.SetCacheOnDeactivate(v); });
    t.Event<TLvZoom, TNotifyEvent>("OnContentsChanged",
                                   [](TLvZoom& z, const TNotifyEvent& e) { z.OnContentsChanged = e; });
}

const TEnumNames kLayouts{{"blGlyphLeft", blGlyphLeft},
                          {"blGlyphRight", blGlyphRight},
                          {"blGlyphTop", blGlyphTop},
                          {"blGlyphBottom", blGlyphBottom}};

void RegisterXPButton(TClassRegistry& registry) {
    registry.Register<TLvXPCustomControl>("TLvXPCustomControl", "TLvCustomControl");
    registry.Register<TLvXPCustomStyleControl>("TLvXPCustomStyleControl", "TLvXPCustomControl");
    registry.Register<TLvXPCustomButton>("TLvXPCustomButton", "TLvXPCustomStyleControl");
    TPropertyTable& t = registry
                            .Register<TLvXPButton>("TLvXPButton", "TLvXPCustomButton",
                                                   [](TComponent* owner) { return new TLvXPButton(owner); })
                            .properties;
    t.Boolean<TLvXPCustomButton>("AutoGray", [](TLvXPCustomButton& b, bool v) { b.SetAutoGray(v); });
    t.Boolean<TLvXPCustomButton>("Cancel", [](TLvXPCustomButton& b, bool v) { b.Cancel = v; });
    t.Boolean<TLvXPCustomButton>("Default", [](TLvXPCustomButton& b, bool v) { b.SetDefault(v); });
    t.Binary<TLvXPCustomButton>("Glyph.Data",
                                [](TLvXPCustomButton& b, const std::vector<std::uint8_t>& data) {
                                    TLvPicture picture;
                                    ReadPictureData(picture, data);
                                    b.SetGlyph(&picture);
                                });
    t.Enum<TLvXPCustomButton>("Layout", kLayouts, [](TLvXPCustomButton& b, std::uint32_t v) {
        b.SetLayout(static_cast<TLvXPLayout>(v));
    });
    t.Integer<TLvXPCustomButton>("ModalResult",
                                 [](TLvXPCustomButton& b, std::int32_t v) { b.ModalResult = v; });
    t.Boolean<TLvXPCustomButton>("ShowAccelChar",
                                 [](TLvXPCustomButton& b, bool v) { b.SetShowAccelChar(v); });
    t.Boolean<TLvXPCustomButton>("ShowFocusRect",
                                 [](TLvXPCustomButton& b, bool v) { b.SetShowFocusRect(v); });
    t.Boolean<TLvXPCustomButton>("SmoothEdges", [](TLvXPCustomButton& b, bool v) { b.SetSmoothEdges(v); });
    t.Integer<TLvXPCustomButton>("Spacing", [](TLvXPCustomButton& b, std::int32_t v) {
        if (v < 0 || v > 255) throw EReadError("Spacing must lie between 0 and 255");
        b.SetSpacing(static_cast<std::uint8_t>(v));
    });
    t.Boolean<TLvXPCustomButton>("WordWrap", [](TLvXPCustomButton& b, bool v) { b.SetWordWrap(v); });
    t.Event<TLvXPCustomControl, TNotifyEvent>(
        "OnMouseEnter", [](TLvXPCustomControl& c, const TNotifyEvent& e) { c.OnMouseEnter = e; });
    t.Event<TLvXPCustomControl, TNotifyEvent>(
        "OnMouseLeave", [](TLvXPCustomControl& c, const TNotifyEvent& e) { c.OnMouseLeave = e; });
}

} // namespace

void RegisterProgramClasses() {
    static const bool registered = [] {
        TClassRegistry& registry = ClassRegistry();
        RegisterZoomView(registry);
        RegisterXPButton(registry);
        RegisterSpinEditClasses(registry);
        // The main window is only ever the root of its own description.
        registry.Register<TLTfrm>("TLTfrm", "TForm");
        return true;
    }();
    (void)registered;
}
