#include "framework/platform/x11/atspi/atspi_objects.h"

#include "framework/platform/atspi_mapping.h"
#include "framework/platform/latin1_text.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <unordered_map>

namespace atspi_objects {

namespace {

// What an object holds beyond the ATK instance: strings handed out as const stay alive until the
// next call asks again.
struct Held {
    std::string name, description, shortcut, action, image;
    std::vector<std::string> states;
    std::string text;
};

struct LentaroAccessible {
    AtkObject parent;
    AccessibleId id; // 0: the application
    Held* held;
};
struct LentaroAccessibleClass {
    AtkObjectClass parent_class;
};

AtspiHost* gHost = nullptr;
AtkObject* gApplication = nullptr;
std::unordered_map<AccessibleId, AtkObject*> gObjects;
gpointer gParentClass = nullptr;

// A client's request runs the toolkit's own handlers (a click, a new text) inside the wait for
// events: an error must not unwind through GLib and the bridge, so it ends here with one line.
template <typename Call> auto Guarded(Call call) -> decltype(call()) {
    try {
        return call();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lentaro: a screen reader's request failed: %s\n", e.what());
    } catch (...) {
        std::fputs("lentaro: a screen reader's request failed\n", stderr);
    }
    return decltype(call())();
}

LentaroAccessible* Self(gpointer object) { return reinterpret_cast<LentaroAccessible*>(object); }
Held& HeldOf(gpointer object) { return *Self(object)->held; }
AccessibleNode* Node(gpointer object) { return NodeOf(ATK_OBJECT(object)); }

// The shown windows' roots: the application's children.
std::vector<AccessibleNode*> WindowRoots() {
    std::vector<AccessibleNode*> roots;
    for (WindowId window : gHost->ShownWindows())
        if (AccessibleNode* root = gHost->WindowRoot(window)) roots.push_back(root);
    return roots;
}

// A point or rectangle given in `coords` as screen coordinates, and back: the window's origin is
// its root node's top-left, the parent's that of the parent node.
TPoint OriginFor(AccessibleNode& node, AtkCoordType coords) {
    AccessibleNode* base = nullptr;
    if (coords == ATK_XY_WINDOW) {
        base = &node;
        while (base->Parent() != nullptr) base = base->Parent();
    } else if (coords == ATK_XY_PARENT) {
        base = node.Parent();
    }
    if (base == nullptr) return {0, 0};
    const TRect bounds = base->ScreenBounds();
    return {bounds.Left, bounds.Top};
}

// --- AtkObject ---

const gchar* GetName(AtkObject* object) {
    Held& held = HeldOf(object);
    if (Self(object)->id == 0)
        held.name = Latin1ToUtf8(gHost->ApplicationName());
    else if (AccessibleNode* node = Node(object))
        held.name = Latin1ToUtf8(node->Describe().name);
    else
        held.name.clear();
    return held.name.c_str();
}

const gchar* GetDescription(AtkObject* object) {
    Held& held = HeldOf(object);
    AccessibleNode* node = Node(object);
    held.description = node != nullptr ? Latin1ToUtf8(node->Describe().description) : std::string();
    return held.description.c_str();
}

AtkObject* GetParent(AtkObject* object) {
    if (Self(object)->id == 0) return nullptr;
    AccessibleNode* node = Node(object);
    if (node == nullptr) return nullptr;
    return node->Parent() != nullptr ? Wrap(node->Parent()) : Application();
}

std::vector<AccessibleNode*> ChildNodes(AtkObject* object) {
    if (Self(object)->id == 0) return WindowRoots();
    AccessibleNode* node = Node(object);
    return node != nullptr ? node->Children() : std::vector<AccessibleNode*>();
}

gint GetNChildren(AtkObject* object) { return static_cast<gint>(ChildNodes(object).size()); }

AtkObject* RefChild(AtkObject* object, gint index) {
    const std::vector<AccessibleNode*> children = ChildNodes(object);
    if (index < 0 || static_cast<std::size_t>(index) >= children.size()) return nullptr;
    return ATK_OBJECT(g_object_ref(Wrap(children[static_cast<std::size_t>(index)])));
}

gint GetIndexInParent(AtkObject* object) {
    AccessibleNode* node = Node(object);
    if (node == nullptr) return -1;
    if (node->Parent() != nullptr) return gHost->IndexInParent(*node);
    const std::vector<AccessibleNode*> roots = WindowRoots();
    for (std::size_t i = 0; i < roots.size(); ++i)
        if (roots[i] == node) return static_cast<gint>(i);
    return -1;
}

AtkRole GetRole(AtkObject* object) {
    if (Self(object)->id == 0) return ATK_ROLE_APPLICATION;
    AccessibleNode* node = Node(object);
    if (node == nullptr) return ATK_ROLE_INVALID;
    const AtkRole role = atk_role_for_name(atspi_mapping::RoleName(node->Describe().role));
    return role != ATK_ROLE_INVALID ? role : ATK_ROLE_UNKNOWN;
}

AtkStateSet* RefStateSet(AtkObject* object) {
    AtkStateSet* set = atk_state_set_new();
    if (Self(object)->id == 0) return set;
    AccessibleNode* node = Node(object);
    if (node == nullptr) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    for (const std::string& name : CurrentStates(*node)) {
        const AtkStateType state = atk_state_type_for_name(name.c_str());
        if (state != ATK_STATE_INVALID) atk_state_set_add_state(set, state);
    }
    return set;
}

AtkRelationSet* RefRelationSet(AtkObject* object) {
    AtkRelationSet* set = atk_relation_set_new();
    AccessibleNode* node = Node(object);
    if (node == nullptr) return set;
    if (AccessibleNode* label = node->LabelledBy())
        atk_relation_set_add_relation_by_type(set, ATK_RELATION_LABELLED_BY, Wrap(label));
    if (AccessibleNode* target = node->LabelFor())
        atk_relation_set_add_relation_by_type(set, ATK_RELATION_LABEL_FOR, Wrap(target));
    return set;
}

void Finalize(GObject* object) {
    delete Self(object)->held;
    Self(object)->held = nullptr;
    G_OBJECT_CLASS(gParentClass)->finalize(object);
}

void InstanceInit(GTypeInstance* instance, gpointer) {
    Self(instance)->id = 0;
    Self(instance)->held = new Held;
}

void ClassInit(gpointer klass, gpointer) {
    gParentClass = g_type_class_peek_parent(klass);
    G_OBJECT_CLASS(klass)->finalize = Finalize;
    AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
    atk->get_name = GetName;
    atk->get_description = GetDescription;
    atk->get_parent = GetParent;
    atk->get_n_children = GetNChildren;
    atk->ref_child = RefChild;
    atk->get_index_in_parent = GetIndexInParent;
    atk->get_role = GetRole;
    atk->ref_state_set = RefStateSet;
    atk->ref_relation_set = RefRelationSet;
}

// --- Component ---

void GetExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height, AtkCoordType coords) {
    *x = *y = *width = *height = 0;
    AccessibleNode* node = Node(component);
    if (node == nullptr) return;
    const TRect bounds = node->ScreenBounds();
    const TPoint origin = OriginFor(*node, coords);
    *x = bounds.Left - origin.X;
    *y = bounds.Top - origin.Y;
    *width = bounds.Right - bounds.Left;
    *height = bounds.Bottom - bounds.Top;
}

AtkObject* RefAccessibleAtPoint(AtkComponent* component, gint x, gint y, AtkCoordType coords) {
    AccessibleNode* node = Node(component);
    std::vector<AccessibleNode*> roots;
    TPoint screen{x, y};
    if (node != nullptr) {
        const TPoint origin = OriginFor(*node, coords);
        screen = {x + origin.X, y + origin.Y};
        roots.push_back(node);
    } else if (Self(component)->id == 0) {
        roots = WindowRoots();
    }
    for (AccessibleNode* root : roots)
        if (AccessibleNode* hit = gHost->HitTest(*root, screen)) return ATK_OBJECT(g_object_ref(Wrap(hit)));
    return nullptr;
}

gboolean GrabFocus(AtkComponent* component) {
    AccessibleNode* node = Node(component);
    return node != nullptr && Guarded([&] { return node->SetFocus(); });
}

AtkLayer GetLayer(AtkComponent* component) {
    AccessibleNode* node = Node(component);
    return node != nullptr && node->Parent() == nullptr ? ATK_LAYER_WINDOW : ATK_LAYER_WIDGET;
}

void ComponentInit(gpointer iface, gpointer) {
    auto* component = static_cast<AtkComponentIface*>(iface);
    component->get_extents = GetExtents;
    component->ref_accessible_at_point = RefAccessibleAtPoint;
    component->grab_focus = GrabFocus;
    component->get_layer = GetLayer;
}

// --- Action ---

bool HasAction(AccessibleNode* node) { return node != nullptr && !node->Describe().defaultAction.empty(); }

gboolean DoAction(AtkAction* action, gint index) {
    AccessibleNode* node = Node(action);
    return index == 0 && HasAction(node) && Guarded([&] { return node->DoDefaultAction(); });
}

gint GetNActions(AtkAction* action) { return HasAction(Node(action)) ? 1 : 0; }

const gchar* GetActionName(AtkAction* action, gint index) {
    return index == 0 && HasAction(Node(action)) ? atspi_mapping::kClickAction : nullptr;
}

const gchar* GetActionDescription(AtkAction* action, gint index) {
    AccessibleNode* node = Node(action);
    if (index != 0 || node == nullptr) return nullptr;
    HeldOf(action).action = Latin1ToUtf8(node->Describe().defaultAction);
    return HeldOf(action).action.c_str();
}

const gchar* GetKeybinding(AtkAction* action, gint index) {
    AccessibleNode* node = Node(action);
    if (index != 0 || node == nullptr) return nullptr;
    HeldOf(action).shortcut = Latin1ToUtf8(node->Describe().keyboardShortcut);
    return HeldOf(action).shortcut.c_str();
}

void ActionInit(gpointer iface, gpointer) {
    auto* action = static_cast<AtkActionIface*>(iface);
    action->do_action = DoAction;
    action->get_n_actions = GetNActions;
    action->get_name = GetActionName;
    action->get_localized_name = GetActionDescription;
    action->get_description = GetActionDescription;
    action->get_keybinding = GetKeybinding;
}

// --- Value ---

std::optional<AccessibleRange> RangeOf(gpointer object) {
    AccessibleNode* node = Node(object);
    return node != nullptr ? node->Describe().range : std::nullopt;
}

void SetDouble(GValue* value, double number) {
    g_value_init(value, G_TYPE_DOUBLE);
    g_value_set_double(value, number);
}

void GetCurrentValue(AtkValue* object, GValue* value) {
    SetDouble(value, RangeOf(object).value_or(AccessibleRange{}).current);
}
void GetMaximumValue(AtkValue* object, GValue* value) {
    SetDouble(value, RangeOf(object).value_or(AccessibleRange{}).maximum);
}
void GetMinimumValue(AtkValue* object, GValue* value) {
    SetDouble(value, RangeOf(object).value_or(AccessibleRange{}).minimum);
}
void GetMinimumIncrement(AtkValue* object, GValue* value) {
    SetDouble(value, RangeOf(object).value_or(AccessibleRange{}).step);
}

bool SetNumber(gpointer object, double number) {
    AccessibleNode* node = Node(object);
    const std::string text = atspi_mapping::NumberText(number);
    return node != nullptr && !text.empty() &&
           Guarded([&] { return node->SetValue(text) == AccessibleSetResult::Done; });
}

gboolean SetCurrentValue(AtkValue* object, const GValue* value) {
    if (!G_VALUE_HOLDS_DOUBLE(value) && !G_VALUE_HOLDS_INT(value)) return FALSE;
    return SetNumber(object,
                     G_VALUE_HOLDS_DOUBLE(value) ? g_value_get_double(value) : g_value_get_int(value));
}

void GetValueAndText(AtkValue* object, gdouble* value, gchar** text) {
    AccessibleNode* node = Node(object);
    const AccessibleDescription d = node != nullptr ? node->Describe() : AccessibleDescription{};
    if (value != nullptr) *value = d.range ? d.range->current : 0;
    if (text != nullptr) *text = g_strdup(Latin1ToUtf8(d.value).c_str());
}

AtkRange* GetRange(AtkValue* object) {
    const std::optional<AccessibleRange> range = RangeOf(object);
    return range ? atk_range_new(range->minimum, range->maximum, nullptr) : nullptr;
}

gdouble GetIncrement(AtkValue* object) { return RangeOf(object).value_or(AccessibleRange{}).step; }

void SetValue(AtkValue* object, const gdouble value) { SetNumber(object, value); }

void ValueInit(gpointer iface, gpointer) {
    auto* value = static_cast<AtkValueIface*>(iface);
    value->get_current_value = GetCurrentValue;
    value->get_maximum_value = GetMaximumValue;
    value->get_minimum_value = GetMinimumValue;
    value->get_minimum_increment = GetMinimumIncrement;
    value->set_current_value = SetCurrentValue;
    value->get_value_and_text = GetValueAndText;
    value->get_range = GetRange;
    value->get_increment = GetIncrement;
    value->set_value = SetValue;
}

// --- Text ---

AccessibleText TextOf(gpointer object) {
    AccessibleNode* node = Node(object);
    if (node == nullptr) return {};
    return node->Describe().text.value_or(AccessibleText{});
}

gchar* GetText(AtkText* object, gint start, gint end) {
    return g_strdup(Latin1ToUtf8(atspi_mapping::Substring(TextOf(object).text, start, end)).c_str());
}

gint GetCharacterCount(AtkText* object) { return static_cast<gint>(TextOf(object).text.size()); }

gint GetCaretOffset(AtkText* object) { return TextOf(object).caretOffset; }

gunichar GetCharacterAtOffset(AtkText* object, gint offset) {
    const AccessibleText text = TextOf(object);
    if (offset < 0 || static_cast<std::size_t>(offset) >= text.text.size()) return 0;
    return static_cast<unsigned char>(
        text.text[static_cast<std::size_t>(offset)]); // Latin-1 is the first 256 code points
}

// The text is one line: every unit bigger than a character is the whole text.
gchar* GetStringAtOffset(AtkText* object, gint offset, AtkTextGranularity granularity, gint* start,
                         gint* end) {
    const AccessibleText text = TextOf(object);
    const auto count = static_cast<gint>(text.text.size());
    if (granularity == ATK_TEXT_GRANULARITY_CHAR && offset >= 0 && offset < count) {
        *start = offset;
        *end = offset + 1;
    } else {
        *start = 0;
        *end = count;
    }
    return g_strdup(Latin1ToUtf8(atspi_mapping::Substring(text.text, *start, *end)).c_str());
}

gint GetNSelections(AtkText* object) {
    const AccessibleText text = TextOf(object);
    return text.selectionEnd > text.selectionStart ? 1 : 0;
}

gchar* GetSelection(AtkText* object, gint index, gint* start, gint* end) {
    const AccessibleText text = TextOf(object);
    *start = *end = 0;
    if (index != 0 || text.selectionEnd <= text.selectionStart) return nullptr;
    *start = text.selectionStart;
    *end = text.selectionEnd;
    return g_strdup(Latin1ToUtf8(atspi_mapping::Substring(text.text, *start, *end)).c_str());
}

// Where a character lies: the caret's rectangle at the caret, else the field's own.
void GetCharacterExtents(AtkText* object, gint offset, gint* x, gint* y, gint* width, gint* height,
                         AtkCoordType coords) {
    *x = *y = *width = *height = 0;
    AccessibleNode* node = Node(object);
    if (node == nullptr) return;
    TRect rect = node->ScreenBounds();
    if (offset == TextOf(object).caretOffset)
        if (std::optional<TRect> caret = gHost->CaretRect(node->Window())) rect = *caret;
    const TPoint origin = OriginFor(*node, coords);
    *x = rect.Left - origin.X;
    *y = rect.Top - origin.Y;
    *width = rect.Right - rect.Left;
    *height = rect.Bottom - rect.Top;
}

void TextInit(gpointer iface, gpointer) {
    auto* text = static_cast<AtkTextIface*>(iface);
    text->get_text = GetText;
    text->get_character_count = GetCharacterCount;
    text->get_caret_offset = GetCaretOffset;
    text->get_character_at_offset = GetCharacterAtOffset;
    text->get_string_at_offset = GetStringAtOffset;
    text->get_n_selections = GetNSelections;
    text->get_selection = GetSelection;
    text->get_character_extents = GetCharacterExtents;
}

// --- EditableText: every edit becomes the whole new text, checked as typing it would be ---

void SetWholeText(gpointer object, const std::optional<std::string>& text) {
    AccessibleNode* node = Node(object);
    if (node != nullptr && text) Guarded([&] { return node->SetValue(*text); });
}

void SetTextContents(AtkEditableText* object, const gchar* text) {
    SetWholeText(object, Utf8ToLatin1Exactly(text != nullptr ? text : ""));
}

void InsertText(AtkEditableText* object, const gchar* text, gint length, gint* position) {
    if (text == nullptr || position == nullptr) return;
    const std::optional<std::string> insert = Utf8ToLatin1Exactly(
        length < 0 ? std::string(text) : std::string(text, strnlen(text, static_cast<std::size_t>(length))));
    if (!insert) return;
    const std::optional<std::string> edited =
        atspi_mapping::Inserted(TextOf(object).text, *position, *insert);
    SetWholeText(object, edited);
    if (edited && TextOf(object).text == *edited) *position += static_cast<gint>(insert->size());
}

void DeleteText(AtkEditableText* object, gint start, gint end) {
    SetWholeText(object, atspi_mapping::Deleted(TextOf(object).text, start, end));
}

void EditableTextInit(gpointer iface, gpointer) {
    auto* text = static_cast<AtkEditableTextIface*>(iface);
    text->set_text_contents = SetTextContents;
    text->insert_text = InsertText;
    text->delete_text = DeleteText;
}

// --- Image ---

const gchar* GetImageDescription(AtkImage* image) { return GetName(ATK_OBJECT(image)); }

void GetImageSize(AtkImage* image, gint* width, gint* height) {
    gint x = 0, y = 0;
    GetExtents(ATK_COMPONENT(image), &x, &y, width, height, ATK_XY_SCREEN);
}

void GetImagePosition(AtkImage* image, gint* x, gint* y, AtkCoordType coords) {
    gint width = 0, height = 0;
    GetExtents(ATK_COMPONENT(image), x, y, &width, &height, coords);
}

void ImageInit(gpointer iface, gpointer) {
    auto* image = static_cast<AtkImageIface*>(iface);
    image->get_image_description = GetImageDescription;
    image->get_image_size = GetImageSize;
    image->get_image_position = GetImagePosition;
}

void WindowInit(gpointer, gpointer) {} // the window interface is its signals

// --- Types: the base with Component, one subtype per set of further interfaces ---

GType BaseType() {
    static GType type = 0;
    if (type != 0) return type;
    GTypeInfo info{};
    info.class_size = sizeof(LentaroAccessibleClass);
    info.class_init = ClassInit;
    info.instance_size = sizeof(LentaroAccessible);
    info.instance_init = InstanceInit;
    type = g_type_register_static(ATK_TYPE_OBJECT, "LentaroAccessible", &info, GTypeFlags(0));
    const GInterfaceInfo component{ComponentInit, nullptr, nullptr};
    g_type_add_interface_static(type, ATK_TYPE_COMPONENT, &component);
    return type;
}

GType TypeFor(std::uint32_t interfaces) {
    static std::map<std::uint32_t, GType> types;
    interfaces &= ~std::uint32_t{atspi_mapping::kComponent};
    if (interfaces == 0) return BaseType();
    if (auto it = types.find(interfaces); it != types.end()) return it->second;
    GTypeInfo info{};
    info.class_size = sizeof(LentaroAccessibleClass);
    info.instance_size = sizeof(LentaroAccessible);
    const std::string name = "LentaroAccessible" + std::to_string(interfaces);
    const GType type = g_type_register_static(BaseType(), name.c_str(), &info, GTypeFlags(0));
    const struct {
        std::uint32_t bit;
        GType iface;
        GInterfaceInitFunc init;
    } table[] = {
        {atspi_mapping::kAction, ATK_TYPE_ACTION, ActionInit},
        {atspi_mapping::kValue, ATK_TYPE_VALUE, ValueInit},
        {atspi_mapping::kText, ATK_TYPE_TEXT, TextInit},
        {atspi_mapping::kEditableText, ATK_TYPE_EDITABLE_TEXT, EditableTextInit},
        {atspi_mapping::kImage, ATK_TYPE_IMAGE, ImageInit},
        {atspi_mapping::kWindow, ATK_TYPE_WINDOW, WindowInit},
    };
    for (const auto& entry : table) {
        if (!(interfaces & entry.bit)) continue;
        const GInterfaceInfo iface{entry.init, nullptr, nullptr};
        g_type_add_interface_static(type, entry.iface, &iface);
    }
    types[interfaces] = type;
    return type;
}

} // namespace

void SetHost(AtspiHost* host) { gHost = host; }
AtspiHost& Host() { return *gHost; }

AtkObject* Application() {
    if (gApplication == nullptr) {
        gApplication = ATK_OBJECT(g_object_new(BaseType(), nullptr));
        gApplication->role = ATK_ROLE_APPLICATION;
    }
    return gApplication;
}

AtkObject* Wrap(AccessibleNode* node) {
    if (node == nullptr) return nullptr;
    if (AtkObject* existing = Existing(node->Id())) return existing;
    const AccessibleDescription d = node->Describe();
    AtkObject* object = ATK_OBJECT(g_object_new(TypeFor(atspi_mapping::Interfaces(d)), nullptr));
    Self(object)->id = node->Id();
    // What listeners are told of from now on is measured against the node as it is now.
    Self(object)->held->states = CurrentStates(*node);
    if (d.text) Self(object)->held->text = d.text->text;
    gObjects[node->Id()] = object;
    return object;
}

AtkObject* Existing(AccessibleId id) {
    auto it = gObjects.find(id);
    return it == gObjects.end() ? nullptr : it->second;
}

AccessibleNode* NodeOf(AtkObject* object) {
    const AccessibleId id = Self(object)->id;
    return id != 0 && gHost != nullptr ? gHost->Find(id) : nullptr;
}

AccessibleId IdOf(AtkObject* object) { return Self(object)->id; }

std::vector<std::string>& AnnouncedStates(AtkObject* object) { return HeldOf(object).states; }
std::string& AnnouncedText(AtkObject* object) { return HeldOf(object).text; }

std::vector<std::string> CurrentStates(AccessibleNode& node) {
    const TRect bounds = node.ScreenBounds();
    return atspi_mapping::StateNames(node.Describe(),
                                     bounds.Right > bounds.Left && bounds.Bottom > bounds.Top);
}

void DropGone() {
    for (auto it = gObjects.begin(); it != gObjects.end();) {
        if (gHost->Find(it->first) != nullptr) {
            ++it;
            continue;
        }
        AtkObject* object = it->second;
        it = gObjects.erase(it);
        atk_object_notify_state_change(object, ATK_STATE_DEFUNCT, TRUE);
        g_object_unref(object);
    }
}

void ReleaseAll() {
    for (auto& [id, object] : gObjects) g_object_unref(object);
    gObjects.clear();
    if (gApplication != nullptr) g_object_unref(gApplication);
    gApplication = nullptr;
}

} // namespace atspi_objects
