#pragma once
// The few things the browser build asks of its page (web/page/page.js answers them through
// src/platform/web/orvane_web.js): play sound effects, tracks and music, speak through
// the browser's speech synthesis, and hold the game until the saves written so far are in
// IndexedDB.
#include <cstddef>
#include <cstdint>

extern "C" {
void orvane_web_play_wave(const uint8_t* bytes, size_t size, int loop);
void orvane_web_stop_wave();
// A track file to play from its start; any track playing stops.
void orvane_web_play_track(const uint8_t* bytes, size_t size);
void orvane_web_stop_track();
// MIDI for the page's synthesizer, each stamped with the sound's clock in milliseconds: a
// channel message (three bytes; the third 0 where the message has two), a whole
// system-exclusive message, or "open", "reset" or "close".
void orvane_web_midi_short(uint32_t ms, uint8_t status, uint8_t data1, uint8_t data2);
void orvane_web_midi_long(uint32_t ms, const uint8_t* bytes, size_t size);
void orvane_web_midi_state(uint32_t ms, const char* what);
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
// A text of the game's as it completes (a line, a choice's caption, a box), in UTF-8: the page
// shows it as real text beside the canvas, for dictionaries and translators.
void orvane_web_game_text(const char* utf8);
}
