// Telling gestures apart, without a browser: the boundaries a finger crosses on a real phone.
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { test } from 'node:test';

const OrvaneGestures = createRequire(import.meta.url)('../page/gestures.js');
const { classify, mayBeLongPress } = OrvaneGestures;

// A one-finger gesture from (x0, y0) to (x1, y1) on a stage whose left edge is at 100.
function one(x0, y0, x1, y1, durationMs = 120, extra = {}) {
  return { fingers: 1, startX: x0, startY: y0, endX: x1, endY: y1, durationMs, longPressed: false, stageLeft: 100, ...extra };
}

test('taps, long presses and the wobble between them', () => {
  assert.equal(classify(one(300, 300, 300, 300)), 'tap');
  assert.equal(classify(one(300, 300, 308, 306)), 'tap', 'a finger wobbles a few pixels on a tap');
  assert.equal(classify(one(300, 300, 330, 300)), null, 'a short drag is no tap');
  assert.equal(classify(one(300, 300, 302, 300, 499)), 'tap');
  // Held past the long press without the timer having acted (a busy page): still the right button.
  assert.equal(classify(one(300, 300, 302, 300, 500)), 'long-press');
  // The timer already sent the right button: lifting the finger sends nothing more.
  assert.equal(classify(one(300, 300, 300, 300, 900, { longPressed: true })), null);
  assert.equal(mayBeLongPress(one(300, 300, 305, 305)), true);
  assert.equal(mayBeLongPress(one(300, 300, 340, 300)), false, 'a finger on its way somewhere is no press');
  assert.equal(mayBeLongPress({ ...one(300, 300, 300, 300), fingers: 2 }), false);
});

test('swipes open and close the history only the ways meant', () => {
  // From the stage's left edge, rightwards: open. The same swipe mid-stage: nothing.
  assert.equal(classify(one(110, 300, 260, 310)), 'history-open');
  assert.equal(classify(one(124, 300, 260, 310)), 'history-open');
  assert.equal(classify(one(140, 300, 300, 310)), null);
  // From the edge but mostly downwards is not the edge swipe.
  assert.equal(classify(one(110, 300, 150, 420)), null);
  // One finger up: close; down: nothing (a one-finger drag down is too easily made by accident).
  assert.equal(classify(one(300, 400, 310, 300)), 'history-close');
  assert.equal(classify(one(300, 300, 310, 400)), null);
  assert.equal(classify(one(300, 400, 300, 345)), null, 'shorter than a swipe');
  // Two fingers down: open; up: close; sideways: nothing; never a tap however still they stay.
  const two = (dy, dx = 0) => ({ ...one(300, 300, 300 + dx, 300 + dy), fingers: 2 });
  assert.equal(classify(two(80)), 'history-open');
  assert.equal(classify(two(-80)), 'history-close');
  assert.equal(classify(two(10, 120)), null);
  assert.equal(classify(two(0)), null);
});
