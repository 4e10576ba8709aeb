#include "edit/lc_edit_classes.h"

#include "edit/lc_custom_edit.h"
#include "framework/stored/class_registry.h"

namespace {

const TEnumNames kBevelModes{
    {"bmCustom", bmCustom}, {"bmStandard", bmStandard}, {"bmEdge", bmEdge}, {"bmWindows", bmWindows}};
const TEnumNames kBevelStyles{{"bvNone", bvNone},
                              {"bvLowered", bvLowered},
                              {"bvRaised", bvRaised},
                              {"bvFrameLowered", bvFrameLowered},
                              {"bvFrameRaised", bvFrameRaised},
                              {"bvNormal", bvNormal},
                              {"bvShadow", bvShadow}};
const TEnumNames kEdgeStyles{{"etRaisedInner", etRaisedInner},
                             {"etRaisedOuter", etRaisedOuter},
                             {"etSunkenInner", etSunkenInner},
                             {"etSunkenOuter", etSunkenOuter},
                             {"etBump", etBump},
                             {"etEtched", etEtched},
                             {"etRaised", etRaised},
                             {"etSunken", etSunken}};
const TEnumNames kBorderStyles{{"lsNone", lsNone},
                               {"lsSingle", lsSingle},
                               {"lsLowered", lsLowered},
                               {"lsRaised", lsRaised},
                               {"lsRaisedspb", lsRaisedspb},
                               {"lsLoweredspb", lsLoweredspb},
                               {"lsRaisedExt", lsRaisedExt},
                               {"lsLoweredExt", lsLoweredExt},
                               {"lsFrameInset", lsFrameInset},
                               {"lsFrameOffset", lsFrameOffset},
                               {"lsWindowBorder", lsWindowBorder},
                               {"lsSingleRaised", lsSingleRaised},
                               {"lsSingleLowered", lsSingleLowered},
                               {"lsDoubleRaised", lsDoubleRaised},
                               {"lsDoubleLowered", lsDoubleLowered}};
const TEnumNames kAlignments{
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
const TEnumNames kCharCases{
    {"ecNormal", ecNormal}, {"ecUpperCase", ecUpperCase}, {"ecLowerCase", ecLowerCase}};

std::uint8_t Width0To50(std::int32_t v) {
    if (v < 0 || v > 50) throw EReadError("a width between 0 and 50 expected");
    return static_cast<std::uint8_t>(v);
}

void RegisterControlBase(TClassRegistry& registry) {
    TPropertyTable& c = registry.Register<TLcCustomControl>("TLcCustomControl", "TCustomControl").properties;
    c.Boolean<TLcCustomControl>("CtlXP", [](TLcCustomControl& x, bool v) { x.SetCtlXP(v); });
    c.Boolean<TLcCustomControl>("Flat", [](TLcCustomControl& x, bool v) { x.SetFlat(v); });
    c.Boolean<TLcCustomControl>("Transparent", [](TLcCustomControl& x, bool v) { x.SetTransparent(v); });
    c.Event<TLcCustomControl, TNotifyEvent>(
        "OnMouseEnter", [](TLcCustomControl& x, const TNotifyEvent& e) { x.OnMouseEnter = e; });
    c.Event<TLcCustomControl, TNotifyEvent>(
        "OnMouseExit", [](TLcCustomControl& x, const TNotifyEvent& e) { x.OnMouseExit = e; });
    registry.Register<TLcCustomPanel>("TLcCustomPanel", "TLcCustomControl");

    TPropertyTable& b =
        registry.Register<TLcCustomBevelPanel>("TLcCustomBevelPanel", "TLcCustomPanel").properties;
    using P = TLcCustomBevelPanel;
    b.Enum<P>("Bevel.Mode", kBevelModes,
              [](P& x, std::uint32_t v) { x.Bevel()->SetMode(static_cast<TLcBevelMode>(v)); });
    b.Enum<P>("Bevel.StandardStyle", kBorderStyles,
              [](P& x, std::uint32_t v) { x.Bevel()->SetStandardStyle(static_cast<TLcBorderStyle>(v)); });
    b.Enum<P>("Bevel.EdgeStyle", kEdgeStyles,
              [](P& x, std::uint32_t v) { x.Bevel()->SetEdgeStyle(static_cast<TLcEdgeStyle>(v)); });
    b.Enum<P>("Bevel.StyleInner", kBevelStyles,
              [](P& x, std::uint32_t v) { x.Bevel()->SetStyleInner(static_cast<TLcBevelStyle>(v)); });
    b.Enum<P>("Bevel.StyleOuter", kBevelStyles,
              [](P& x, std::uint32_t v) { x.Bevel()->SetStyleOuter(static_cast<TLcBevelStyle>(v)); });
    b.Integer<P>("Bevel.WidthInner", [](P& x, std::int32_t v) { x.Bevel()->SetWidthInner(Width0To50(v)); });
    b.Integer<P>("Bevel.WidthOuter", [](P& x, std::int32_t v) { x.Bevel()->SetWidthOuter(Width0To50(v)); });
    b.Integer<P>("Bevel.BorderWidth", [](P& x, std::int32_t v) { x.Bevel()->SetBorderWidth(Width0To50(v)); });
    b.Color<P>("Bevel.BorderColor", [](P& x, TColor v) { x.Bevel()->SetBorderColor(v); });
}

void RegisterEdits(TClassRegistry& registry) {
    using B = TLcBaseEdit;
    TPropertyTable& t = registry.Register<B>("TLcBaseEdit", "TLcCustomBevelPanel").properties;
    t.Unsigned<B>("Caret.BlinkRate", [](B& x, std::uint32_t v) {
        if (v > 0xFFFF) throw EReadError("a blink rate up to 65535 ms expected");
        x.Caret()->BlinkRate = static_cast<std::uint16_t>(v);
    });
    t.Enum<B>("Alignment", kAlignments,
              [](B& x, std::uint32_t v) { x.SetAlignment(static_cast<TAlignment>(v)); });
    t.Enum<B>("CharCase", kCharCases,
              [](B& x, std::uint32_t v) { x.CharCase = static_cast<TLcEditCharCase>(v); });
    t.Boolean<B>("AutoSelect", [](B& x, bool v) { x.AutoSelect = v; });
    t.Boolean<B>("HideSelection", [](B& x, bool v) { x.HideSelection = v; });
    t.Boolean<B>("OEMConvert", [](B& x, bool v) { x.OEMConvert = v; });
    t.Boolean<B>("ReadOnly", [](B& x, bool v) { x.SetReadOnly(v); });
    t.Boolean<B>("TabOnEnter", [](B& x, bool v) { x.TabOnEnter = v; });
    t.Integer<B>("MaxLength", [](B& x, std::int32_t v) { x.MaxLength = v; });
    t.String<B>("Text", [](B& x, const std::string& v) { x.SetText(v); });
    t.Event<B, TNotifyEvent>("OnChange", [](B& x, const TNotifyEvent& e) { x.OnChange = e; });

    using E = TLcCustomEdit;
    TPropertyTable& e = registry.Register<E>("TLcCustomEdit", "TLcBaseEdit").properties;
    e.Boolean<E>("AutoSize", [](E& x, bool v) { x.SetAutoSize(v); });
    e.Integer<E>("CustomButtonWidth", [](E& x, std::int32_t v) { x.CustomButtonWidth = v; });
    e.String<E>("PasswordChar", [](E& x, const std::string& v) {
        if (v.size() > 1) throw EReadError("one character expected");
        x.SetPasswordChar(v.empty() ? '\0' : v[0]);
    });
}

} // namespace

void RegisterEditClasses(TClassRegistry& registry) {
    RegisterControlBase(registry);
    RegisterEdits(registry);
}
