// The watch on org.a11y.Status (IsEnabled, ScreenReaderEnabled) on the session bus: a module of its
// own that links only libdbus and no C++ runtime, so a desktop that runs an accessibility bus with
// no client pays for this small check and not for GLib and ATK. The X11 backend polls its one
// descriptor and loads the bridge while a client wants it.
#include "framework/platform/x11/x11_atspi_status.h"

#include <dbus/dbus.h>

#include <cstdlib>

struct AtspiStatusWatch {
    DBusConnection* session;
    bool changed;
};

namespace {

DBusHandlerResult Filter(DBusConnection*, DBusMessage* message, void* data) {
    if (dbus_message_is_signal(message, "org.freedesktop.DBus.Properties", "PropertiesChanged"))
        static_cast<AtspiStatusWatch*>(data)->changed = true;
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

// One boolean of org.a11y.Status; false when it cannot be read.
bool StatusProperty(DBusConnection* session, const char* name) {
    DBusMessage* call = dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus",
                                                     "org.freedesktop.DBus.Properties", "Get");
    if (call == nullptr) return false;
    const char* interface = "org.a11y.Status";
    dbus_message_append_args(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID);
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(session, call, 1000, &error);
    dbus_message_unref(call);
    dbus_error_free(&error);
    dbus_bool_t value = FALSE;
    if (reply != nullptr) {
        DBusMessageIter iter, variant;
        if (dbus_message_iter_init(reply, &iter) &&
            dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_VARIANT) {
            dbus_message_iter_recurse(&iter, &variant);
            if (dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_BOOLEAN)
                dbus_message_iter_get_basic(&variant, &value);
        }
        dbus_message_unref(reply);
    }
    return value;
}

int State(AtspiStatusWatch* watch) {
    watch->changed = false;
    return StatusProperty(watch->session, "IsEnabled") ||
                   StatusProperty(watch->session, "ScreenReaderEnabled")
               ? kAtspiStatusWanted
               : 0;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) AtspiStatusWatch* lentaro_atspi_status_open(int* state) {
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* session = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    dbus_error_free(&error);
    if (session == nullptr) return nullptr;
    // The program outlives the bus: a lost connection is reported, never an exit.
    dbus_connection_set_exit_on_disconnect(session, FALSE);
    auto* watch = static_cast<AtspiStatusWatch*>(std::calloc(1, sizeof(AtspiStatusWatch)));
    if (watch == nullptr) {
        dbus_connection_close(session);
        dbus_connection_unref(session);
        return nullptr;
    }
    watch->session = session;
    dbus_bus_add_match(session,
                       "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',"
                       "path='/org/a11y/bus',arg0='org.a11y.Status'",
                       nullptr);
    dbus_connection_add_filter(session, Filter, watch, nullptr);
    *state = State(watch);
    return watch;
}

__attribute__((visibility("default"))) int lentaro_atspi_status_fd(AtspiStatusWatch* watch) {
    int fd = -1;
    return dbus_connection_get_unix_fd(watch->session, &fd) ? fd : -1;
}

__attribute__((visibility("default"))) int lentaro_atspi_status_read(AtspiStatusWatch* watch, int previous) {
    dbus_connection_read_write(watch->session, 0);
    while (dbus_connection_dispatch(watch->session) == DBUS_DISPATCH_DATA_REMAINS) {
    }
    if (!dbus_connection_get_is_connected(watch->session)) return kAtspiStatusLost;
    return watch->changed ? State(watch) : previous;
}

__attribute__((visibility("default"))) void lentaro_atspi_status_close(AtspiStatusWatch* watch) {
    dbus_connection_remove_filter(watch->session, Filter, watch);
    dbus_connection_close(watch->session);
    dbus_connection_unref(watch->session);
    std::free(watch);
}
}
