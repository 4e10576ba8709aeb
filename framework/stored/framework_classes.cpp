#include "framework/stored/framework_classes.h"

#include "framework/controls/label.h"
#include "framework/controls/menus.h"
#include "framework/forms/forms.h"
#include "framework/stored/class_registry.h"

namespace {

const TEnumNames kAnchors{{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}};
const TEnumNames kAligns{{"alNone", alNone},    {"alTop", alTop},     {"alBottom", alBottom},
                         {"alLeft", alLeft},    {"alRight", alRight}, {"alClient", alClient},
                         {"alCustom", alCustom}};
const TEnumNames kAlignments{
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
const TEnumNames kFontStyles{{"fsBold", 0}, {"fsItalic", 1}, {"fsUnderline", 2}, {"fsStrikeOut", 3}};
const TEnumNames kBorderIcons{{"biSystemMenu", 0}, {"biMinimize", 1}, {"biMaximize", 2}, {"biHelp", 3}};
const TEnumNames kBorderStyles{
    {"bsNone", bsNone},     {"bsSingle", bsSingle},         {"bsSizeable", bsSizeable},
    {"bsDialog", bsDialog}, {"bsToolWindow", bsToolWindow}, {"bsSizeToolWin", bsSizeToolWin}};
const TEnumNames kWindowStates{
    {"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}};

void RegisterControl(TClassRegistry& registry) {
    TClassInfo& info = registry.Register<TControl>("TControl", "TComponent");
    info.placeInside = [](TComponent& container, TComponent& child) {
        auto* parent = dynamic_cast<TWinControl*>(&container);
        if (parent == nullptr) throw EReadError("a control must be placed in a windowed control");
        static_cast<TControl&>(child).SetParent(parent);
        // A windowed control comes last in its parent's tab order until its stored TabOrder says otherwise.
        if (auto* windowed = dynamic_cast<TWinControl*>(&child);
            windowed != nullptr && windowed->TabOrder < 0) {
            int before = 0;
            for (int i = 0; i < parent->ControlCount(); ++i)
                if (parent->Controls(i) != windowed &&
                    dynamic_cast<TWinControl*>(parent->Controls(i)) != nullptr)
                    ++before;
            windowed->TabOrder = before;
        }
    };
    TPropertyTable& t = info.properties;
    t.Integer<TControl>("Left", [](TControl& c, std::int32_t v) { c.SetLeft(v); });
    t.Integer<TControl>("Top", [](TControl& c, std::int32_t v) { c.SetTop(v); });
    t.Integer<TControl>("Width", [](TControl& c, std::int32_t v) { c.SetWidth(v); });
    t.Integer<TControl>("Height", [](TControl& c, std::int32_t v) { c.SetHeight(v); });
    t.Set<TControl>("Anchors", kAnchors,
                    [](TControl& c, std::uint32_t v) { c.SetAnchors(static_cast<TAnchors>(v)); });
    t.Enum<TControl>("Align", kAligns,
                     [](TControl& c, std::uint32_t v) { c.Align = static_cast<TAlign>(v); });
    t.String<TControl>("Caption", [](TControl& c, const std::string& v) { c.SetCaption(v); });
    t.Color<TControl>("Color", [](TControl& c, TColor v) { c.SetColor(v); });
    t.Boolean<TControl>("ParentColor", [](TControl& c, bool v) { c.SetParentColor(v); });
    t.Boolean<TControl>("ParentFont", [](TControl& c, bool v) { c.SetParentFont(v); });
    t.Boolean<TControl>("Enabled", [](TControl& c, bool v) { c.SetEnabled(v); });
    t.Boolean<TControl>("Visible", [](TControl& c, bool v) { c.SetVisible(v); });
    t.Add("Font.Charset", [](TComponent& c, const StoredValue& v, TReadContext&) {
        static_cast<TControl&>(c).Font()->SetCharset(stored_values::ToCharset(v));
    });
    t.Color<TControl>("Font.Color", [](TControl& c, TColor v) { c.Font()->SetColor(v); });
    t.Integer<TControl>("Font.Height", [](TControl& c, std::int32_t v) { c.Font()->SetHeight(v); });
    t.Integer<TControl>("Font.Size", [](TControl& c, std::int32_t v) { c.Font()->SetSize(v); });
    t.String<TControl>("Font.Name", [](TControl& c, const std::string& v) {
        if (v.empty()) throw EReadError("a font needs a name");
        c.Font()->SetName(v);
    });
    t.Set<TControl>("Font.Style", kFontStyles,
                    [](TControl& c, std::uint32_t v) { c.Font()->SetStyle(static_cast<TFontStyles>(v)); });
    t.Reference<TControl, TPopupMenu>("PopupMenu", [](TControl& c, TPopupMenu* m) { c.SetPopupMenu(m); });
    t.Event<TControl, TNotifyEvent>("OnClick", [](TControl& c, const TNotifyEvent& e) { c.OnClick = e; });
    t.Event<TControl, TNotifyEvent>("OnDblClick",
                                    [](TControl& c, const TNotifyEvent& e) { c.OnDblClick = e; });
    t.Event<TControl, TNotifyEvent>("OnResize", [](TControl& c, const TNotifyEvent& e) { c.OnResize = e; });
    t.Event<TControl, TMouseEvent>("OnMouseDown",
                                   [](TControl& c, const TMouseEvent& e) { c.OnMouseDown = e; });
    t.Event<TControl, TMouseEvent>("OnMouseUp", [](TControl& c, const TMouseEvent& e) { c.OnMouseUp = e; });
    t.Event<TControl, TMouseMoveEvent>("OnMouseMove",
                                       [](TControl& c, const TMouseMoveEvent& e) { c.OnMouseMove = e; });
    t.Event<TControl, TMouseWheelEvent>("OnMouseWheel",
                                        [](TControl& c, const TMouseWheelEvent& e) { c.OnMouseWheel = e; });
    t.Event<TControl, TMouseWheelUpDownEvent>(
        "OnMouseWheelUp", [](TControl& c, const TMouseWheelUpDownEvent& e) { c.OnMouseWheelUp = e; });
    t.Event<TControl, TMouseWheelUpDownEvent>(
        "OnMouseWheelDown", [](TControl& c, const TMouseWheelUpDownEvent& e) { c.OnMouseWheelDown = e; });
}

void RegisterWinControl(TClassRegistry& registry) {
    TPropertyTable& t = registry.Register<TWinControl>("TWinControl", "TControl").properties;
    t.Integer<TWinControl>("TabOrder", [](TWinControl& c, std::int32_t v) { c.TabOrder = v; });
    t.Boolean<TWinControl>("TabStop", [](TWinControl& c, bool v) { c.TabStop = v; });
    t.Event<TWinControl, TNotifyEvent>("OnEnter",
                                       [](TWinControl& c, const TNotifyEvent& e) { c.OnEnter = e; });
    t.Event<TWinControl, TNotifyEvent>("OnExit", [](TWinControl& c, const TNotifyEvent& e) { c.OnExit = e; });
    t.Event<TWinControl, TKeyEvent>("OnKeyDown", [](TWinControl& c, const TKeyEvent& e) { c.OnKeyDown = e; });
    t.Event<TWinControl, TKeyEvent>("OnKeyUp", [](TWinControl& c, const TKeyEvent& e) { c.OnKeyUp = e; });
    t.Event<TWinControl, TKeyPressEvent>("OnKeyPress",
                                         [](TWinControl& c, const TKeyPressEvent& e) { c.OnKeyPress = e; });
    registry.Register<TCustomControl>("TCustomControl", "TWinControl");
    registry.Register<TGraphicControl>("TGraphicControl", "TControl");
}

void RegisterLabel(TClassRegistry& registry) {
    TPropertyTable& t = registry
                            .Register<TLabel>("TLabel", "TGraphicControl",
                                              [](TComponent* owner) { return new TLabel(owner); })
                            .properties;
    t.Boolean<TLabel>("AutoSize", [](TLabel& l, bool v) { l.SetAutoSize(v); });
    t.Enum<TLabel>("Alignment", kAlignments,
                   [](TLabel& l, std::uint32_t v) { l.SetAlignment(static_cast<TAlignment>(v)); });
    t.Boolean<TLabel>("Transparent", [](TLabel& l, bool v) { l.SetTransparent(v); });
    t.Boolean<TLabel>("ShowAccelChar", [](TLabel& l, bool v) { l.SetShowAccelChar(v); });
    t.Boolean<TLabel>("WordWrap", [](TLabel& l, bool v) { l.SetWordWrap(v); });
}

void RegisterForm(TClassRegistry& registry) {
    // Forms are only ever the root of a description, so they have no factory here.
    TPropertyTable& t = registry.Register<TCustomForm>("TCustomForm", "TCustomControl").properties;
    t.Set<TCustomForm>("BorderIcons", kBorderIcons,
                       [](TCustomForm& f, std::uint32_t v) { f.BorderIcons = static_cast<TBorderIcons>(v); });
    t.Enum<TCustomForm>("BorderStyle", kBorderStyles, [](TCustomForm& f, std::uint32_t v) {
        f.BorderStyle = static_cast<TFormBorderStyle>(v);
    });
    t.Enum<TCustomForm>("WindowState", kWindowStates, [](TCustomForm& f, std::uint32_t v) {
        f.SetWindowState(static_cast<TWindowState>(v));
    });
    t.Integer<TCustomForm>("ClientWidth",
                           [](TCustomForm& f, std::int32_t v) { f.SetClientSize(v, f.ClientHeight()); });
    t.Integer<TCustomForm>("ClientHeight",
                           [](TCustomForm& f, std::int32_t v) { f.SetClientSize(f.ClientWidth(), v); });
    t.Boolean<TCustomForm>("OldCreateOrder", [](TCustomForm& f, bool v) { f.OldCreateOrder = v; });
    t.IntegerList<TCustomForm>("DesignSize", [](TCustomForm& f, const std::vector<std::int32_t>& v) {
        if (v.size() != 2) throw EReadError("a width and a height expected");
        f.DesignSize = {v[0], v[1]};
    });
    t.Integer<TCustomForm>("PixelsPerInch", [](TCustomForm& f, std::int32_t v) {
        if (v <= 0) throw EReadError("pixels per inch must be positive");
        f.PixelsPerInch = v;
    });
    t.Integer<TCustomForm>("TextHeight", [](TCustomForm& f, std::int32_t v) { f.TextHeight = v; });
    t.Event<TCustomForm, TCanResizeEvent>(
        "OnCanResize", [](TCustomForm& f, const TCanResizeEvent& e) { f.OnCanResize = e; });
    t.Event<TCustomForm, TCloseEvent>("OnClose", [](TCustomForm& f, const TCloseEvent& e) { f.OnClose = e; });
    registry.Register<TForm>("TForm", "TCustomForm");
}

void RegisterMenus(TClassRegistry& registry) {
    TClassInfo& item = registry.Register<TMenuItem>("TMenuItem", "TComponent",
                                                    [](TComponent* owner) { return new TMenuItem(owner); });
    item.placeInside = [](TComponent& container, TComponent& child) {
        auto& entry = static_cast<TMenuItem&>(child);
        if (auto* parentItem = dynamic_cast<TMenuItem*>(&container))
            parentItem->Add(&entry);
        else if (auto* menu = dynamic_cast<TMenu*>(&container))
            menu->Items()->Add(&entry);
        else
            throw EReadError("a menu item must be placed in a menu or in another menu item");
    };
    TPropertyTable& t = item.properties;
    t.String<TMenuItem>("Caption", [](TMenuItem& i, const std::string& v) { i.SetCaption(v); });
    t.Boolean<TMenuItem>("Checked", [](TMenuItem& i, bool v) { i.SetChecked(v); });
    t.Boolean<TMenuItem>("AutoCheck", [](TMenuItem& i, bool v) { i.AutoCheck = v; });
    t.Boolean<TMenuItem>("RadioItem", [](TMenuItem& i, bool v) { i.SetRadioItem(v); });
    t.Integer<TMenuItem>("GroupIndex", [](TMenuItem& i, std::int32_t v) {
        if (v < 0 || v > 255) throw EReadError("group index " + std::to_string(v) + " out of range 0..255");
        i.SetGroupIndex(static_cast<std::uint8_t>(v));
    });
    t.Boolean<TMenuItem>("Enabled", [](TMenuItem& i, bool v) { i.Enabled = v; });
    t.Boolean<TMenuItem>("Visible", [](TMenuItem& i, bool v) { i.Visible = v; });
    t.Integer<TMenuItem>("ShortCut", [](TMenuItem& i, std::int32_t v) {
        if (v < 0 || v > 0xFFFF) throw EReadError("shortcut " + std::to_string(v) + " out of range");
        i.ShortCut = static_cast<std::uint16_t>(v);
    });
    t.Event<TMenuItem, TNotifyEvent>("OnClick", [](TMenuItem& i, const TNotifyEvent& e) { i.OnClick = e; });

    registry.Register<TMenu>("TMenu", "TComponent");
    TPropertyTable& p = registry
                            .Register<TPopupMenu>("TPopupMenu", "TMenu",
                                                  [](TComponent* owner) { return new TPopupMenu(owner); })
                            .properties;
    // The design position: kept, without effect at run time.
    p.Integer<TPopupMenu>("Left", [](TPopupMenu& m, std::int32_t v) { m.DesignPosition.X = v; });
    p.Integer<TPopupMenu>("Top", [](TPopupMenu& m, std::int32_t v) { m.DesignPosition.Y = v; });
    p.Boolean<TPopupMenu>("AutoPopup", [](TPopupMenu& m, bool v) { m.AutoPopup = v; });
    p.Event<TPopupMenu, TNotifyEvent>("OnPopup", [](TPopupMenu& m, const TNotifyEvent& e) { m.OnPopup = e; });
}

} // namespace

void RegisterFrameworkClasses(TClassRegistry& registry) {
    registry.Register<TComponent>("TComponent", "");
    RegisterControl(registry);
    RegisterWinControl(registry);
    RegisterLabel(registry);
    RegisterForm(registry);
    RegisterMenus(registry);
}
