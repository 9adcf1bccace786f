// The player's calls into its page (see page_bridge.h). The page sets Module.orvanePage to an
// object with the methods used here; without one (a bare module in a test) each call does
// nothing.
mergeInto(LibraryManager.library, {
  orvane_web_play_wave: function (bytes, size, loop) {
    if (Module.orvanePage) Module.orvanePage.playWave(HEAPU8.slice(bytes, bytes + size), loop !== 0);
  },
  orvane_web_stop_wave: function () {
    if (Module.orvanePage) Module.orvanePage.stopWave();
  },
  orvane_web_play_track: function (bytes, size) {
    if (Module.orvanePage && Module.orvanePage.playTrack) Module.orvanePage.playTrack(HEAPU8.slice(bytes, bytes + size));
  },
  orvane_web_stop_track: function () {
    if (Module.orvanePage && Module.orvanePage.stopTrack) Module.orvanePage.stopTrack();
  },
  orvane_web_midi_short: function (ms, status, data1, data2) {
    if (Module.orvanePage && Module.orvanePage.midi) Module.orvanePage.midi(ms >>> 0, [status, data1, data2]);
  },
  orvane_web_midi_long: function (ms, bytes, size) {
    if (Module.orvanePage && Module.orvanePage.midi) Module.orvanePage.midi(ms >>> 0, HEAPU8.slice(bytes, bytes + size));
  },
  orvane_web_midi_state: function (ms, what) {
    if (Module.orvanePage && Module.orvanePage.midi) Module.orvanePage.midi(ms >>> 0, UTF8ToString(what));
  },
  orvane_web_set_gain: function (line, gain) {
    if (Module.orvanePage) Module.orvanePage.setGain(line, gain);
  },
  orvane_web_say: function (utf8, interrupt) {
    if (Module.orvanePage) Module.orvanePage.say(UTF8ToString(utf8), interrupt !== 0);
  },
  orvane_web_silence: function () {
    if (Module.orvanePage) Module.orvanePage.silence();
  },
  orvane_web_open_address: function (address) {
    window.open(UTF8ToString(address), '_blank', 'noopener');
  },
  orvane_web_game_state: function (state) {
    if (Module.orvanePage) Module.orvanePage.gameState(UTF8ToString(state));
  },
  orvane_web_game_text: function (utf8) {
    if (Module.orvanePage && Module.orvanePage.gameText) Module.orvanePage.gameText(UTF8ToString(utf8));
  },
  // The browser's Shift_JIS decoder is code page 932: every code it knows, into a table of
  // 65536 16-bit entries indexed by lead << 8 | trail (single bytes by themselves), 0 for none.
  orvane_web_cp932_table: function (codes) {
    var decoder = new TextDecoder('shift_jis', { fatal: true });
    var table = HEAPU16.subarray(codes >> 1, (codes >> 1) + 0x10000);
    function put(index, bytes) {
      try {
        var text = decoder.decode(bytes);
        if (text.length === 1) table[index] = text.charCodeAt(0);
      } catch (e) {}
    }
    for (var single = 0x80; single <= 0xff; single++) put(single, new Uint8Array([single]));
    for (var lead = 0x81; lead <= 0xfc; lead++) {
      if (lead > 0x9f && lead < 0xe0) continue;
      for (var trail = 0x40; trail <= 0xfc; trail++) {
        if (trail !== 0x7f) put(lead << 8 | trail, new Uint8Array([lead, trail]));
      }
    }
  },
  // Sleeps (through Asyncify) only while a write waits to be stored, so the common turn of the
  // main loop costs nothing.
  orvane_web_settle_saves__deps: ['$Asyncify'],
  orvane_web_settle_saves: function () {
    // Resuming after the sleep calls this again, and only handleSleep ends the resume: asked
    // then whether saves are pending (they are not: that is why it woke), a plain return would
    // leave the module resuming, and the next call it makes traps.
    var resuming = Asyncify.state === Asyncify.State.Rewinding;
    if (!resuming && (!Module.orvanePage || !Module.orvanePage.savesPending())) return;
    return Asyncify.handleSleep(function (wakeUp) {
      Module.orvanePage.settleSaves().then(function () { wakeUp(); }, function () { wakeUp(); });
    });
  },
});
