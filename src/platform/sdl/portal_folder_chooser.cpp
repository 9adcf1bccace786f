#include "platform/sdl/portal_folder_chooser.h"

#include <SDL_syswm.h>
#include <gio/gio.h>

#include <cstdio>

#include <memory>
#include <string>
#include <vector>

namespace orv {

namespace {

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";
// Asking the portal to show its dialog is quick; the person's choice comes later, as a signal.
constexpr int kCallTimeoutMs = 10000;
constexpr int kKeepAliveMs = 40;

FolderChoice Unavailable(std::string why) {
  return FolderChoice{FolderChoice::Outcome::Unavailable, {}, std::move(why)};
}

struct ErrorFree {
  void operator()(GError* e) const { g_error_free(e); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

std::string Message(const GError* error) { return error ? error->message : "unknown error"; }

// The request handle the portal makes for a token, so that its answer can be listened for
// before the call that could bring it: /org/freedesktop/portal/desktop/request/SENDER/TOKEN.
std::string HandlePath(GDBusConnection* bus, const std::string& token) {
  std::string sender = g_dbus_connection_get_unique_name(bus) ? g_dbus_connection_get_unique_name(bus) : "";
  if (!sender.empty() && sender[0] == ':') sender.erase(0, 1);
  for (char& c : sender)
    if (c == '.') c = '_';
  return std::string(kPortalPath) + "/request/" + sender + "/" + token;
}

struct Wait {
  bool answered = false;
  bool portalGone = false;
  uint32_t response = 2;
  std::string uri;
};

void OnResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                gpointer data) {
  Wait& wait = *static_cast<Wait*>(data);
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) return;
  guint32 response = 2;
  GVariant* results = nullptr;
  g_variant_get(parameters, "(u@a{sv})", &response, &results);
  wait.response = response;
  if (GVariant* uris = g_variant_lookup_value(results, "uris", G_VARIANT_TYPE_STRING_ARRAY)) {
    gsize count = 0;
    const gchar** list = g_variant_get_strv(uris, &count);
    if (count > 0 && list[0]) wait.uri = list[0];
    g_free(list);
    g_variant_unref(uris);
  }
  g_variant_unref(results);
  wait.answered = true;
}

void OnOwnerChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                    gpointer data) {
  const gchar *name = nullptr, *before = nullptr, *after = nullptr;
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(sss)"))) return;
  g_variant_get(parameters, "(&s&s&s)", &name, &before, &after);
  if (after && *after == '\0') static_cast<Wait*>(data)->portalGone = true;
}

// One chooser's worth of GLib state, undone in reverse whatever way the wait ends.
class PortalCall {
 public:
  PortalCall() : context_(g_main_context_new()) { g_main_context_push_thread_default(context_); }
  ~PortalCall() {
    if (bus_) {
      for (guint id : subscriptions_) g_dbus_connection_signal_unsubscribe(bus_, id);
      g_dbus_connection_close_sync(bus_, nullptr, nullptr);
      g_object_unref(bus_);
    }
    while (g_main_context_iteration(context_, FALSE)) {}
    g_main_context_pop_thread_default(context_);
    g_main_context_unref(context_);
  }
  PortalCall(const PortalCall&) = delete;
  PortalCall& operator=(const PortalCall&) = delete;

  bool Connect(const std::string& address, std::string& why) {
    GError* raw = nullptr;
    gchar* sessionAddress = nullptr;
    if (address.empty()) {
      sessionAddress = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &raw);
      if (!sessionAddress) {
        why = "no session bus: " + Message(ErrorPtr(raw).get());
        return false;
      }
    }
    bus_ = g_dbus_connection_new_for_address_sync(address.empty() ? sessionAddress : address.c_str(),
                                                  GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                                       G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                                                  nullptr, nullptr, &raw);
    g_free(sessionAddress);
    if (!bus_) why = "cannot reach the session bus: " + Message(ErrorPtr(raw).get());
    return bus_ != nullptr;
  }

  void ListenFor(const std::string& handle, Wait& wait) {
    subscriptions_.push_back(g_dbus_connection_signal_subscribe(bus_, nullptr, kRequestInterface, "Response",
                                                                handle.c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
                                                                OnResponse, &wait, nullptr));
  }
  void WatchPortal(Wait& wait) {
    subscriptions_.push_back(g_dbus_connection_signal_subscribe(
        bus_, "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged", "/org/freedesktop/DBus", kPortalName,
        G_DBUS_SIGNAL_FLAGS_NONE, OnOwnerChanged, &wait, nullptr));
  }

  GDBusConnection* bus() const { return bus_; }
  GMainContext* context() const { return context_; }

 private:
  GMainContext* context_;
  GDBusConnection* bus_ = nullptr;
  std::vector<guint> subscriptions_;
};

}  // namespace

FolderChoice PortalFolderChooser::ChooseFolder(std::string_view utf8Title, const KeepAlive& keepAlive) {
  PortalCall call;
  std::string why;
  if (!call.Connect(busAddress_, why)) return Unavailable(why);
  // The handle holds the connection's own name, new for every call: the token need not differ.
  const std::string token = "orvane" + std::to_string(++requests_);
  std::string handle = HandlePath(call.bus(), token);
  Wait wait;
  call.ListenFor(handle, wait);
  call.WatchPortal(wait);

  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
  g_variant_builder_add(&options, "{sv}", "directory", g_variant_new_boolean(TRUE));
  g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
  const std::string title(utf8Title);
  GError* raw = nullptr;
  GVariant* reply =
      g_dbus_connection_call_sync(call.bus(), kPortalName, kPortalPath, "org.freedesktop.portal.FileChooser",
                                  "OpenFile", g_variant_new("(ssa{sv})", parentWindow_.c_str(), title.c_str(), &options),
                                  G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &raw);
  if (!reply) return Unavailable("the file chooser portal does not answer: " + Message(ErrorPtr(raw).get()));
  const gchar* returned = nullptr;
  g_variant_get(reply, "(&o)", &returned);
  // Portals older than the handle_token option make a handle of their own.
  if (returned && handle != returned) {
    handle = returned;
    call.ListenFor(handle, wait);
  }
  g_variant_unref(reply);

  while (!wait.answered && !wait.portalGone) {
    while (g_main_context_iteration(call.context(), FALSE)) {}
    if (wait.answered || wait.portalGone) break;
    if (keepAlive && !keepAlive()) {
      // The window is closing: take the dialog away with it.
      if (GVariant* closed =
              g_dbus_connection_call_sync(call.bus(), kPortalName, handle.c_str(), kRequestInterface, "Close", nullptr,
                                          nullptr, G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr))
        g_variant_unref(closed);
      return FolderChoice{FolderChoice::Outcome::Cancelled, {}, {}};
    }
    if (g_dbus_connection_is_closed(call.bus())) return Unavailable("the session bus went away");
    g_usleep(kKeepAliveMs * 1000);
  }
  if (!wait.answered) return Unavailable("the file chooser portal went away");
  if (wait.response == 1) return FolderChoice{FolderChoice::Outcome::Cancelled, {}, {}};
  if (wait.response != 0) return Unavailable("the file chooser portal could not show its dialog");
  gchar* path = g_filename_from_uri(wait.uri.c_str(), nullptr, nullptr);
  if (!path) return FolderChoice{FolderChoice::Outcome::Cancelled, {}, {}};
  FolderChoice chosen{FolderChoice::Outcome::Chosen, std::filesystem::path(path), {}};
  g_free(path);
  return chosen;
}

std::string PortalWindowName(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info)) return {};
#if defined(SDL_VIDEO_DRIVER_X11)
  if (info.subsystem == SDL_SYSWM_X11) {
    char name[32];
    std::snprintf(name, sizeof name, "x11:%lx", static_cast<unsigned long>(info.info.x11.window));
    return name;
  }
#endif
  return {};
}

}  // namespace orv
