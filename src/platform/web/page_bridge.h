#pragma once
// The few things the browser build asks of its page (web/page/orvane.js answers them through
// src/platform/web/orvane_web.js): play and stop a sound effect through Web Audio, speak through
// the browser's speech synthesis, and hold the game until the saves written so far are in
// IndexedDB.
#include <cstddef>
#include <cstdint>

extern "C" {
void orvane_web_play_wave(const uint8_t* bytes, size_t size, int loop);
void orvane_web_stop_wave();
// Gains of a volume line (0 wave, 1 MIDI, 2 CD) from 0 to 1.
void orvane_web_set_gain(int line, double gain);
void orvane_web_say(const char* utf8, int interrupt);
void orvane_web_silence();
// Returns once every file written under the persistent folder is stored; gives the tab back to
// the browser meanwhile.
void orvane_web_settle_saves();
// Opens an http(s) address in a new tab, with no hold on this page.
void orvane_web_open_address(const char* address);
// The page learns that the game runs (its first frame is on the canvas) or has ended.
void orvane_web_game_state(const char* state);
}
