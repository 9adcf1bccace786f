#include "platform/sdl/library_logs.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <glib.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace orv {
namespace {

// The libraries' hooks take no context of ours (ALSA's none at all), so the choice lives here.
std::atomic<bool> g_verbose{false};

void Say(const char* source, const char* text) {
  if (!g_verbose || text == nullptr) return;
  std::fprintf(stderr, "orvane: [%s] %s\n", source, text);
}

void FluidLog(int, const char* message, void*) { Say("fluidsynth", message); }

void AlsaError(const char* file, int line, const char* function, int, const char* format, ...) {
  if (!g_verbose) return;
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  char located[700];
  std::snprintf(located, sizeof located, "%s:%d (%s): %s", file ? file : "?", line, function ? function : "?", text);
  Say("alsa", located);
}

void GlibLog(const gchar* domain, GLogLevelFlags, const gchar* message, gpointer) {
  Say(domain ? domain : "glib", message);
}

}  // namespace

void RouteLibraryMessages(bool verbose) {
  g_verbose = verbose;
  for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
    fluid_set_log_function(level, FluidLog, nullptr);
  snd_lib_error_set_handler(AlsaError);
  g_log_set_default_handler(GlibLog, nullptr);
}

}  // namespace orv
