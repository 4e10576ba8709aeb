// The AT-SPI2 plug-in: ATK objects over the accessibility model, exported by Debian's at-spi2-atk
// bridge. It runs on the program's own thread: the backend polls the GLib main context's
// descriptors and the session bus beside the X connection, and dispatches them here.
//
// The bridge starts while the accessibility bus says a client wants it (org.a11y.Status IsEnabled
// or ScreenReaderEnabled on the session bus) and stops when neither holds; where there is no
// session bus to ask, the accessibility bus the backend found is taken as the request.
#include "framework/platform/atspi_mapping.h"
#include "framework/platform/x11/atspi/atspi_objects.h"

#include <atk-bridge.h>
#include <dbus/dbus.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

using namespace atspi_objects;

constexpr const char* kBusName = "org.a11y.Bus";
constexpr const char* kBusPath = "/org/a11y/bus";
constexpr const char* kStatusInterface = "org.a11y.Status";

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
        ConnectSessionBus();
        Update();
    }

    ~Plugin() override {
        StopBridge();
        if (session_ != nullptr) {
            dbus_connection_close(session_);
            dbus_connection_unref(session_);
        }
        ReleaseAll();
    }

    void Prepare(std::vector<pollfd>& fds, int& timeoutMs) override {
        first_ = fds.size();
        if (session_ != nullptr) {
            int fd = -1;
            if (dbus_connection_get_unix_fd(session_, &fd)) fds.push_back({fd, POLLIN, 0});
        }
        sessionFds_ = fds.size() - first_;
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
        if (sessionFds_ > 0 && first_ < fds.size() && fds[first_].revents != 0) ReadSessionBus();
        if (!prepared_) return;
        GMainContext* context = g_main_context_default();
        for (std::size_t i = 0; i < glibFds_.size() && first_ + sessionFds_ + i < fds.size(); ++i)
            glibFds_[i].revents = static_cast<gushort>(fds[first_ + sessionFds_ + i].revents);
        if (g_main_context_check(context, priority_, glibFds_.data(), static_cast<gint>(glibFds_.size())))
            g_main_context_dispatch(context);
        g_main_context_release(context);
        prepared_ = false;
    }

    bool Lost() const override { return lost_; }

    void AccessibleEventRaised(AccessibleEvent event, AccessibleNode& node) override;

private:
    void ConnectSessionBus() {
        DBusError error;
        dbus_error_init(&error);
        session_ = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
        dbus_error_free(&error);
        if (session_ == nullptr) return;
        // The program outlives the bus: a lost connection drops the bridge, never the process.
        dbus_connection_set_exit_on_disconnect(session_, FALSE);
        dbus_bus_add_match(
            session_,
            "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',"
            "path='/org/a11y/bus',arg0='org.a11y.Status'",
            nullptr);
        dbus_connection_add_filter(session_, &Plugin::Filter, this, nullptr);
    }

    static DBusHandlerResult Filter(DBusConnection*, DBusMessage* message, void* data) {
        auto* self = static_cast<Plugin*>(data);
        if (dbus_message_is_signal(message, "org.freedesktop.DBus.Properties", "PropertiesChanged"))
            self->statusChanged_ = true;
        return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    }

    void ReadSessionBus() {
        dbus_connection_read_write(session_, 0);
        while (dbus_connection_dispatch(session_) == DBUS_DISPATCH_DATA_REMAINS) {
        }
        if (!dbus_connection_get_is_connected(session_)) {
            std::fputs("lentaro: the session bus has gone; screen readers no longer see the program\n",
                       stderr);
            StopBridge();
            lost_ = true;
            return;
        }
        if (statusChanged_) Update();
    }

    // Asks one boolean of org.a11y.Status; false when it cannot be read.
    bool StatusProperty(const char* name) {
        DBusMessage* call =
            dbus_message_new_method_call(kBusName, kBusPath, "org.freedesktop.DBus.Properties", "Get");
        if (call == nullptr) return false;
        dbus_message_append_args(call, DBUS_TYPE_STRING, &kStatusInterface, DBUS_TYPE_STRING, &name,
                                 DBUS_TYPE_INVALID);
        DBusError error;
        dbus_error_init(&error);
        DBusMessage* reply = dbus_connection_send_with_reply_and_block(session_, call, 1000, &error);
        dbus_message_unref(call);
        dbus_error_free(&error);
        bool value = false;
        if (reply != nullptr) {
            DBusMessageIter iter, variant;
            if (dbus_message_iter_init(reply, &iter) &&
                dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_VARIANT) {
                dbus_message_iter_recurse(&iter, &variant);
                if (dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_BOOLEAN) {
                    dbus_bool_t flag = FALSE;
                    dbus_message_iter_get_basic(&variant, &flag);
                    value = flag;
                }
            }
            dbus_message_unref(reply);
        }
        return value;
    }

    void Update() {
        statusChanged_ = false;
        const bool wanted =
            session_ == nullptr || StatusProperty("IsEnabled") || StatusProperty("ScreenReaderEnabled");
        if (wanted)
            StartBridge();
        else
            StopBridge();
    }

    void StartBridge() {
        if (running_) return;
        if (atk_bridge_adaptor_init(nullptr, nullptr) != 0) {
            std::fputs("lentaro: the accessibility bridge did not start\n", stderr);
            return;
        }
        running_ = true;
        Host().AddSink(this);
    }

    void StopBridge() {
        if (!running_) return;
        Host().RemoveSink(this);
        atk_bridge_adaptor_cleanup();
        running_ = false;
    }

    DBusConnection* session_ = nullptr;
    bool statusChanged_ = false;
    bool running_ = false;
    bool lost_ = false;
    std::size_t first_ = 0;
    std::size_t sessionFds_ = 0;
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
    if (!text) return;
    std::string& announced = AnnouncedText(object);
    const atspi_mapping::TextEdit edit = atspi_mapping::Difference(announced, text->text);
    announced = text->text;
    if (!edit.removed.empty())
        g_signal_emit_by_name(object, "text-remove::system", edit.offset,
                              static_cast<gint>(edit.removed.size()),
                              atspi_mapping::ToUtf8(edit.removed).c_str());
    if (!edit.inserted.empty())
        g_signal_emit_by_name(object, "text-insert::system", edit.offset,
                              static_cast<gint>(edit.inserted.size()),
                              atspi_mapping::ToUtf8(edit.inserted).c_str());
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
        if (std::optional<AccessibleText> text = node.Describe().text)
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
