// The AT-SPI2 plug-in: ATK objects over the accessibility model, exported by Debian's at-spi2-atk
// bridge. It runs on the program's own thread: the backend polls the GLib main context's
// descriptors beside the X connection, and dispatches them here.
//
// The backend makes the plug-in while a client wants the tree (see x11_accessibility.h) and deletes
// it, stopping the bridge, when none does any more.
#include "framework/platform/atspi_mapping.h"
#include "framework/platform/latin1_text.h"
#include "framework/platform/x11/atspi/atspi_objects.h"

#include <atk-bridge.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

using namespace atspi_objects;

// ATK asks the toolkit to hook its signals for the bridge: "Toolkit:Type:signal" becomes an emission
// hook on that type's signal.
guint AddGlobalEventListener(GSignalEmissionHook listener, const gchar* eventType) {
    gchar** parts = g_strsplit(eventType, ":", 3);
    guint hook = 0;
    if (g_strv_length(parts) == 3) {
        const GType type = g_type_from_name(parts[1]);
        const guint signal = type != 0 ? g_signal_lookup(parts[2], type) : 0;
        if (signal != 0)
            hook = static_cast<guint>(g_signal_add_emission_hook(signal, 0, listener, nullptr, nullptr));
        // The hook id is unique across signals; keep which signal it belongs to for its removal.
        if (hook != 0)
            g_hash_table_insert(static_cast<GHashTable*>(g_object_get_data(G_OBJECT(Application()), "hooks")),
                                GUINT_TO_POINTER(hook), GUINT_TO_POINTER(signal));
    }
    g_strfreev(parts);
    return hook;
}

void RemoveGlobalEventListener(guint hook) {
    auto* hooks = static_cast<GHashTable*>(g_object_get_data(G_OBJECT(Application()), "hooks"));
    const guint signal = GPOINTER_TO_UINT(g_hash_table_lookup(hooks, GUINT_TO_POINTER(hook)));
    if (signal == 0) return;
    g_signal_remove_emission_hook(signal, hook);
    g_hash_table_remove(hooks, GUINT_TO_POINTER(hook));
}

AtkObject* GetRoot() { return Application(); }
const gchar* GetToolkitName() { return "Lentaro"; }
const gchar* GetToolkitVersion() { return "1"; }

class Plugin : public AtspiPlugin, public AccessibleEventSink {
public:
    explicit Plugin(AtspiHost* host) {
        SetHost(host);
        // The interface types must exist before the bridge asks for their signals by name.
        for (GType type : {ATK_TYPE_COMPONENT, ATK_TYPE_ACTION, ATK_TYPE_VALUE, ATK_TYPE_TEXT,
                           ATK_TYPE_EDITABLE_TEXT, ATK_TYPE_IMAGE, ATK_TYPE_WINDOW})
            g_type_default_interface_unref(g_type_default_interface_ref(type));
        g_object_set_data_full(G_OBJECT(Application()), "hooks", g_hash_table_new(nullptr, nullptr),
                               reinterpret_cast<GDestroyNotify>(g_hash_table_destroy));
        auto* util = static_cast<AtkUtilClass*>(g_type_class_ref(ATK_TYPE_UTIL));
        util->add_global_event_listener = AddGlobalEventListener;
        util->remove_global_event_listener = RemoveGlobalEventListener;
        util->get_root = GetRoot;
        util->get_toolkit_name = GetToolkitName;
        util->get_toolkit_version = GetToolkitVersion;
        // Listening first: the toolkit describes its nodes only while someone listens, and the
        // bridge reads the tree as it starts.
        Host().AddSink(this);
        if (atk_bridge_adaptor_init(nullptr, nullptr) != 0) {
            Host().RemoveSink(this);
            throw std::runtime_error("the at-spi2-atk bridge did not start");
        }
    }

    ~Plugin() override {
        Host().RemoveSink(this);
        atk_bridge_adaptor_cleanup();
        ReleaseAll();
    }

    void Prepare(std::vector<pollfd>& fds, int& timeoutMs) override {
        first_ = fds.size();
        GMainContext* context = g_main_context_default();
        prepared_ = g_main_context_acquire(context);
        if (!prepared_) return;
        g_main_context_prepare(context, &priority_);
        gint timeout = -1;
        glibFds_.resize(8);
        gint needed = 0;
        while ((needed = g_main_context_query(context, priority_, &timeout, glibFds_.data(),
                                              static_cast<gint>(glibFds_.size()))) >
               static_cast<gint>(glibFds_.size()))
            glibFds_.resize(static_cast<std::size_t>(needed));
        glibFds_.resize(static_cast<std::size_t>(needed));
        for (const GPollFD& fd : glibFds_) fds.push_back({fd.fd, static_cast<short>(fd.events), 0});
        if (timeout >= 0 && (timeoutMs < 0 || timeout < timeoutMs)) timeoutMs = timeout;
    }

    void Dispatch(const std::vector<pollfd>& fds) override {
        if (!prepared_) return;
        GMainContext* context = g_main_context_default();
        for (std::size_t i = 0; i < glibFds_.size() && first_ + i < fds.size(); ++i)
            glibFds_[i].revents = static_cast<gushort>(fds[first_ + i].revents);
        if (g_main_context_check(context, priority_, glibFds_.data(), static_cast<gint>(glibFds_.size())))
            g_main_context_dispatch(context);
        g_main_context_release(context);
        prepared_ = false;
    }

    void AccessibleEventRaised(AccessibleEvent event, AccessibleNode& node) override;

private:
    std::size_t first_ = 0;
    bool prepared_ = false;
    gint priority_ = 0;
    std::vector<GPollFD> glibFds_;
    AccessibleId focused_ = 0;
};

// Tells listeners of every state that changed since they last heard.
void AnnounceStates(AtkObject* object, AccessibleNode& node) {
    std::vector<std::string>& announced = AnnouncedStates(object);
    std::vector<std::string> now = CurrentStates(node);
    const auto changes = atspi_mapping::StateChanges(announced, now);
    announced = std::move(now);
    for (const auto& [name, set] : changes) {
        const AtkStateType state = atk_state_type_for_name(name.c_str());
        if (state != ATK_STATE_INVALID) atk_object_notify_state_change(object, state, set);
    }
}

void AnnounceText(AtkObject* object, AccessibleNode& node) {
    const std::optional<AccessibleText> text = node.Describe().text;
    if (!text || !ATK_IS_TEXT(object)) return;
    std::string& announced = AnnouncedText(object);
    const atspi_mapping::TextEdit edit = atspi_mapping::Difference(announced, text->text);
    announced = text->text;
    if (!edit.removed.empty())
        g_signal_emit_by_name(object, "text-remove::system", edit.offset,
                              static_cast<gint>(edit.removed.size()), Latin1ToUtf8(edit.removed).c_str());
    if (!edit.inserted.empty())
        g_signal_emit_by_name(object, "text-insert::system", edit.offset,
                              static_cast<gint>(edit.inserted.size()), Latin1ToUtf8(edit.inserted).c_str());
}

void Plugin::AccessibleEventRaised(AccessibleEvent event, AccessibleNode& node) {
    DropGone();
    AtkObject* object = Wrap(&node);
    switch (event) {
    case AccessibleEvent::Focus:
        // The node that had the focus hears of its loss first.
        if (focused_ != 0 && focused_ != node.Id())
            if (AtkObject* previous = Existing(focused_))
                if (AccessibleNode* old = NodeOf(previous)) AnnounceStates(previous, *old);
        focused_ = node.Id();
        AnnouncedStates(object).erase(std::remove(AnnouncedStates(object).begin(),
                                                  AnnouncedStates(object).end(), std::string("focused")),
                                      AnnouncedStates(object).end());
        AnnounceStates(object, node);
        break;
    case AccessibleEvent::ValueChanged:
        AnnounceText(object, node);
        g_object_notify(G_OBJECT(object), "accessible-value");
        break;
    case AccessibleEvent::TextChanged: AnnounceText(object, node); break;
    case AccessibleEvent::CaretMoved:
        if (std::optional<AccessibleText> text = node.Describe().text; text && ATK_IS_TEXT(object))
            g_signal_emit_by_name(object, "text-caret-moved", text->caretOffset);
        break;
    case AccessibleEvent::StateChanged: AnnounceStates(object, node); break;
    case AccessibleEvent::NameChanged: g_object_notify(G_OBJECT(object), "accessible-name"); break;
    case AccessibleEvent::MenuPopupStart:
    case AccessibleEvent::MenuPopupEnd: {
        const bool opened = event == AccessibleEvent::MenuPopupStart;
        const int index = atk_object_get_index_in_parent(object);
        g_signal_emit_by_name(Application(), opened ? "children-changed::add" : "children-changed::remove",
                              index < 0 ? 0 : index, object);
        atk_object_notify_state_change(object, ATK_STATE_SHOWING, opened);
        AnnouncedStates(object) = CurrentStates(node);
        break;
    }
    case AccessibleEvent::WindowActivated:
        if (ATK_IS_WINDOW(object)) g_signal_emit_by_name(object, "activate");
        AnnounceStates(object, node);
        break;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) AtspiPlugin*
lentaro_atspi_plugin_create(AtspiHost* host, std::string* error) {
    try {
        return new Plugin(host);
    } catch (const std::exception& e) {
        if (error != nullptr) *error = e.what();
        return nullptr;
    }
}
