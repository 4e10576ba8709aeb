#include "app/program_classes.h"

#include "app/main_window.h"
#include "framework/stored/class_registry.h"
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

} // namespace

void RegisterProgramClasses() {
    static const bool registered = [] {
        TClassRegistry& registry = ClassRegistry();
        RegisterZoomView(registry);
        // The main window is only ever the root of its own description.
        registry.Register<TLTfrm>("TLTfrm", "TForm");
        return true;
    }();
    (void)registered;
}
