// What a finger did on the stage, told apart from its start and end alone: a tap, a long press,
// a swipe that opens or closes the history, or nothing the game should hear about (a drag
// that was neither, a second finger that wandered).
'use strict';

const OrvaneGestures = (() => {
  const kDefaults = {
    longPressMs: 500,   // held this long without moving: the right button
    tapSlopPx: 12,      // a finger wobbles this much on a tap
    swipeMinPx: 60,     // a swipe travels at least this far
    edgePx: 24,         // a swipe that opens the history may start this close to the stage's left
  };

  // `gesture`: {fingers (the most down at once), startX, startY, endX, endY (the first finger's,
  // or the fingers' mean), durationMs, longPressed (the press already acted), stageLeft}.
  // Returns 'tap', 'long-press', 'history-open', 'history-close' or null.
  function classify(gesture, options = {}) {
    const o = { ...kDefaults, ...options };
    if (gesture.longPressed) return null;
    const dx = gesture.endX - gesture.startX;
    const dy = gesture.endY - gesture.startY;
    const vertical = Math.abs(dy) > Math.abs(dx);
    if (gesture.fingers >= 2) {
      if (vertical && dy >= o.swipeMinPx) return 'history-open';
      if (vertical && dy <= -o.swipeMinPx) return 'history-close';
      return null;
    }
    if (Math.hypot(dx, dy) <= o.tapSlopPx) return gesture.durationMs < o.longPressMs ? 'tap' : 'long-press';
    const fromEdge = gesture.startX - gesture.stageLeft <= o.edgePx;
    if (fromEdge && !vertical && dx >= o.swipeMinPx) return 'history-open';
    if (vertical && dy <= -o.swipeMinPx) return 'history-close';
    return null;
  }

  // Whether a finger still down may yet become a long press: one finger, not moved off its spot.
  function mayBeLongPress(gesture, options = {}) {
    const o = { ...kDefaults, ...options };
    return gesture.fingers === 1 && !gesture.longPressed &&
      Math.hypot(gesture.endX - gesture.startX, gesture.endY - gesture.startY) <= o.tapSlopPx;
  }

  return { classify, mayBeLongPress, kDefaults };
})();

if (typeof module === 'object' && module.exports) module.exports = OrvaneGestures;
