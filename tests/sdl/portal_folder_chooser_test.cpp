// The portal chooser against a stand-in portal on a private session bus of the test's own.
#include "platform/sdl/portal_folder_chooser.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <future>
#include <thread>

#include "support/test_support.h"

extern char** environ;

namespace orv {
namespace {

using Outcome = FolderChoice::Outcome;

// dbus-daemon with nothing on it but what the test puts there: no service files, so nothing
// is started on demand.
class PrivateBus {
 public:
  PrivateBus() {
    dir_.Write("bus.conf",
               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:dir=" +
                   dir_.path().string() +
                   "</listen><auth>EXTERNAL</auth>"
                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    // As root it says it cannot raise its file limit; nothing the test cares about.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string config = "--config-file=" + (dir_.path() / "bus.conf").string();
    std::vector<std::string> words{"dbus-daemon", config, "--nofork", "--nopidfile", "--print-address=1"};
    std::vector<char*> args;
    for (std::string& w : words) args.push_back(w.data());
    args.push_back(nullptr);
    if (posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr, args.data(), environ) != 0) pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    for (char c; read(out[0], &c, 1) == 1 && c != '\n';) address_.push_back(c);
    close(out[0]);
  }
  ~PrivateBus() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& address() const { return address_; }

 private:
  test::TempDir dir_;
  pid_t pid_ = 0;
  std::string address_;
};

constexpr const char* kIntrospection =
    "<node><interface name='org.freedesktop.portal.FileChooser'>"
    "<method name='OpenFile'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='a{sv}' direction='in'/><arg type='o' direction='out'/></method>"
    "</interface></node>";

// The portal's part: owns its name, takes OpenFile, and answers on the request handle the
// caller's token names, as the real one does. `answer` false: it never answers.
class FakePortal {
 public:
  FakePortal(const std::string& address, uint32_t response, std::string uri, bool answer = true)
      : response_(response), uri_(std::move(uri)), answer_(answer) {
    std::promise<bool> ready;
    std::future<bool> started = ready.get_future();
    thread_ = std::thread([this, address, &ready] { Serve(address, ready); });
    ok_ = started.get();
  }
  ~FakePortal() {
    if (loop_) g_main_loop_quit(loop_);
    thread_.join();
  }
  bool ok() const { return ok_; }
  // What the last call asked, read once the chooser has returned.
  std::string title, handle, parent;
  bool directory = false;

 private:
  static void OnCall(GDBusConnection* bus, const gchar* sender, const gchar*, const gchar*, const gchar*,
                     GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    FakePortal& self = *static_cast<FakePortal*>(data);
    const gchar *parent = nullptr, *title = nullptr;
    GVariant* options = nullptr;
    g_variant_get(parameters, "(&s&s@a{sv})", &parent, &title, &options);
    self.title = title;
    self.parent = parent;
    g_variant_lookup(options, "directory", "b", &self.directory);
    const gchar* token = "t";
    g_variant_lookup(options, "handle_token", "&s", &token);
    std::string name = sender + 1;
    for (char& c : name)
      if (c == '.') c = '_';
    self.handle = std::string("/org/freedesktop/portal/desktop/request/") + name + "/" + token;
    g_variant_unref(options);
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", self.handle.c_str()));
    if (!self.answer_) return;
    GVariantBuilder results;
    g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
    if (!self.uri_.empty()) {
      const gchar* uris[] = {self.uri_.c_str(), nullptr};
      g_variant_builder_add(&results, "{sv}", "uris", g_variant_new_strv(uris, -1));
    }
    g_dbus_connection_emit_signal(bus, sender, self.handle.c_str(), "org.freedesktop.portal.Request", "Response",
                                  g_variant_new("(ua{sv})", self.response_, &results), nullptr);
  }

  void Serve(const std::string& address, std::promise<bool>& ready) {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GDBusConnection* bus =
        g_dbus_connection_new_for_address_sync(address.c_str(),
                                               GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                                    G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                                               nullptr, nullptr, nullptr);
    bool served = false;
    if (bus) {
      GVariant* owned =
          g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                      "RequestName", g_variant_new("(su)", "org.freedesktop.portal.Desktop", 4u),
                                      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
      GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
      static const GDBusInterfaceVTable vtable{OnCall, nullptr, nullptr, {}};
      served = owned && node &&
               g_dbus_connection_register_object(bus, "/org/freedesktop/portal/desktop", node->interfaces[0], &vtable,
                                                 this, nullptr, nullptr) > 0;
      if (owned) g_variant_unref(owned);
      if (node) g_dbus_node_info_unref(node);
    }
    loop_ = g_main_loop_new(context, FALSE);
    ready.set_value(served);
    if (served) g_main_loop_run(loop_);
    if (bus) {
      g_dbus_connection_close_sync(bus, nullptr, nullptr);
      g_object_unref(bus);
    }
    g_main_loop_unref(loop_);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
  }

  uint32_t response_;
  std::string uri_;
  bool answer_;
  bool ok_ = false;
  GMainLoop* loop_ = nullptr;
  std::thread thread_;
};

class PortalChooserTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(bus.address().empty()) << "dbus-daemon did not start"; }
  PrivateBus bus;
  int keptAlive = 0;
  FolderChooser::KeepAlive alive = [this] { return ++keptAlive > 0; };
};

TEST_F(PortalChooserTest, AsksForAFolderAndReadsTheChosenUri) {
  FakePortal portal(bus.address(), 0, "file:///home/me/my%20games/%E6%A3%AE");
  ASSERT_TRUE(portal.ok());
  PortalFolderChooser chooser("x11:1a00007", bus.address());
  const FolderChoice choice = chooser.ChooseFolder("Open a game folder", alive);
  EXPECT_EQ(choice.outcome, Outcome::Chosen) << choice.why;
  EXPECT_EQ(choice.folder, "/home/me/my games/森");
  EXPECT_EQ(portal.title, "Open a game folder");
  EXPECT_EQ(portal.parent, "x11:1a00007");
  EXPECT_TRUE(portal.directory);
  EXPECT_NE(portal.handle.find("/orvane"), std::string::npos) << portal.handle;
}

TEST_F(PortalChooserTest, TellsCancelFromAMissingPortal) {
  {
    FakePortal portal(bus.address(), 1, "");
    ASSERT_TRUE(portal.ok());
    EXPECT_EQ(PortalFolderChooser("", bus.address()).ChooseFolder("t", alive).outcome, Outcome::Cancelled);
  }
  // The portal's name has gone with it: nothing answers, and the next chooser is asked.
  const FolderChoice none = PortalFolderChooser("", bus.address()).ChooseFolder("t", alive);
  EXPECT_EQ(none.outcome, Outcome::Unavailable);
  EXPECT_FALSE(none.why.empty());
  EXPECT_EQ(PortalFolderChooser("", "unix:path=/nonexistent/bus").ChooseFolder("t", alive).outcome,
            Outcome::Unavailable);
}

// While the dialog is up the window is kept alive; a window that closes stops the wait.
TEST_F(PortalChooserTest, StopsWaitingWhenTheWindowCloses) {
  FakePortal portal(bus.address(), 0, "file:///x", false);
  ASSERT_TRUE(portal.ok());
  int calls = 0;
  const FolderChoice choice = PortalFolderChooser("", bus.address()).ChooseFolder("t", [&] { return ++calls < 4; });
  EXPECT_EQ(choice.outcome, Outcome::Cancelled);
  EXPECT_EQ(calls, 4);
}

}  // namespace
}  // namespace orv
