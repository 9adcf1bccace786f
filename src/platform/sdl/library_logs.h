#pragma once
// The sound libraries talk on standard error by themselves: FluidSynth through its log,
// ALSA through its error handler (eight lines when no card answers), GLib through its log.
// Their words mean little to someone playing a game, and the player says what matters in a
// line of its own; they reach standard error, marked with their source, only when asked for.
//
// The three hooks belong to the process, not to one player: the last call decides.
namespace orv {

void RouteLibraryMessages(bool verbose);

}  // namespace orv
