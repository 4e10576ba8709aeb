#include "spinedit/lc_spin_edit_classes.h"

#include "edit/lc_edit_classes.h"
#include "framework/stored/class_registry.h"
#include "spinedit/lc_spin_edit.h"

void RegisterSpinEditClasses(TClassRegistry& registry) {
    RegisterEditClasses(registry);

    using M = TLcCustomMaskEdit;
    TPropertyTable& m = registry.Register<M>("TLcCustomMaskEdit", "TLcCustomEdit").properties;
    m.String<M>("Suffix", [](M& x, const std::string& v) { x.SetSuffix(v); });
    m.Event<M, TNotifyEvent>("OnValidationError",
                             [](M& x, const TNotifyEvent& e) { x.OnValidationError = e; });

    using X = TLcCustomExtSpinEdit;
    TPropertyTable& x = registry.Register<X>("TLcCustomExtSpinEdit", "TLcCustomMaskEdit").properties;
    x.Boolean<X>("EditorEnabled", [](X& s, bool v) { s.EditorEnabled = v; });
    x.Integer<X>("SpinBtnWidth", [](X& s, std::int32_t v) { s.SetSpinBtnWidth(v); });
    x.Color<X>("SpinBtnColor", [](X& s, TColor v) { s.SetSpinBtnColor(v); });
    x.Color<X>("SpinBtnHotColor", [](X& s, TColor v) { s.SetSpinBtnHotColor(v); });
    x.Boolean<X>("SpinBtnDiag", [](X& s, bool v) { s.SetSpinBtnDiag(v); });
    x.Unsigned<X>("Interval", [](X& s, std::uint32_t v) {
        if (v > 0xFFFF) throw EReadError("an interval up to 65535 ms expected");
        s.SetInterval(static_cast<std::uint16_t>(v));
    });
    x.Float<X>("Step", [](X& s, double v) { s.Step = v; });
    x.Event<X, TNotifyEvent>("OnSpinBtnUpClick", [](X& s, const TNotifyEvent& e) { s.OnSpinBtnUpClick = e; });
    x.Event<X, TNotifyEvent>("OnSpinBtnDownClick",
                             [](X& s, const TNotifyEvent& e) { s.OnSpinBtnDownClick = e; });

    using S = TLcCustomSpinEdit;
    TPropertyTable& s = registry.Register<S>("TLcCustomSpinEdit", "TLcCustomExtSpinEdit").properties;
    s.Integer<S>("MinValue", [](S& e, std::int32_t v) { e.SetMinValue(v); });
    s.Integer<S>("MaxValue", [](S& e, std::int32_t v) { e.SetMaxValue(v); });
    s.Integer<S>("LineSize", [](S& e, std::int32_t v) { e.SetLineSize(v); });
    s.Integer<S>("PageSize", [](S& e, std::int32_t v) { e.SetPageSize(v); });
    s.Integer<S>("Value", [](S& e, std::int32_t v) { e.SetValue(v); });

    registry.Register<TLcSpinEdit>("TLcSpinEdit", "TLcCustomSpinEdit",
                                   [](TComponent* owner) { return new TLcSpinEdit(owner); });
}
