// Phones and tablets. Fingers on the stage become the mouse the game already understands (a
// tap the left button, a long press the right one, swipes the wheel that reads back through the
// history); a small button opens the menu bar's items at a size for fingers; the game's name
// box becomes a real text field, so that the phone's own keyboard (and its input method for
// Japanese) types into it. The stage fills the screen at 4:3 in either orientation.
'use strict';

// Every screen, phones above all: the player draws its stage at one canvas pixel per stage
// pixel and the browser scales the canvas to the screen. Told the screen's real pixel ratio,
// SDL makes the canvas that many times larger while the player still draws one pixel per
// pixel, and the stage shrinks into the canvas's top-left corner (a half or a third of it).
Object.defineProperty(window, 'devicePixelRatio', { get: () => 1, configurable: true });

const OrvaneTouch = (() => {
  const canvas = document.getElementById('canvas');
  const frame = canvas.parentElement;
  const body = document.body;
  // The history closes a page at a time past the newest: enough notches to come back from any
  // page a reader went back to, and the spare ones find the history closed and do nothing.
  const kCloseNotches = 100;

  const state = { menu: [], choice: null, playing: false, touchSeen: false };

  function fingerFirst() {
    return state.touchSeen || window.matchMedia('(pointer: coarse)').matches;
  }

  // --- the stage at 4:3 --------------------------------------------------------------------

  // The canvas holds the menu bar above the stage; a finger has its own menu, so the frame
  // shows only the stage, as large as the screen allows.
  function fitStage() {
    if (!(state.playing && fingerFirst())) return;
    body.classList.add('touch-playing');
    const width = Math.min(window.innerWidth, window.innerHeight * 4 / 3);
    const bar = canvas.height - canvas.width * 3 / 4;
    frame.style.setProperty('--stage-width', width + 'px');
    frame.style.setProperty('--stage-height', width * 3 / 4 + 'px');
    frame.style.setProperty('--canvas-height', width * canvas.height / canvas.width + 'px');
    frame.style.setProperty('--bar-height', width * bar / canvas.width + 'px');
  }
  window.addEventListener('resize', fitStage);
  window.addEventListener('orientationchange', fitStage);
  // The game shows or hides its menu bar, or goes full screen: the canvas changes size.
  new MutationObserver(fitStage).observe(canvas, { attributes: true, attributeFilter: ['width', 'height'] });

  // --- fingers into the mouse ---------------------------------------------------------------

  function mouse(type, x, y, button) {
    canvas.dispatchEvent(new MouseEvent(type, {
      bubbles: true, cancelable: true, clientX: x, clientY: y, button, buttons: type === 'mousedown' ? 1 << button : 0,
    }));
  }

  function click(x, y, button) {
    mouse('mousemove', x, y, 0);
    mouse('mousedown', x, y, button);
    mouse('mouseup', x, y, button);
  }

  function wheel(x, y, notches) {
    mouse('mousemove', x, y, 0);
    for (let i = 0; i < Math.abs(notches); i++) {
      canvas.dispatchEvent(new WheelEvent('wheel', {
        bubbles: true, cancelable: true, clientX: x, clientY: y, deltaY: notches < 0 ? -100 : 100, deltaMode: 0,
      }));
    }
  }

  let gesture = null;
  let longPressTimer = null;

  function centre(touches) {
    let x = 0;
    let y = 0;
    for (const t of touches) { x += t.clientX; y += t.clientY; }
    return { x: x / touches.length, y: y / touches.length };
  }

  function onStage(event) {
    return state.playing && frame.contains(event.target);
  }

  function touchStart(event) {
    // A laptop's touch screen: the first finger on it brings the layout for fingers.
    if (!state.touchSeen) {
      state.touchSeen = true;
      fitStage();
    }
    if (!onStage(event)) return;
    // The game hears the gesture, never the raw touches (nor the mouse events a browser would
    // make up from them); and the page neither scrolls nor zooms under the stage.
    event.stopPropagation();
    event.preventDefault();
    const at = centre(event.touches);
    if (!gesture) {
      gesture = { fingers: 0, startX: at.x, startY: at.y, endX: at.x, endY: at.y, startMs: event.timeStamp,
        longPressed: false, stageLeft: frame.getBoundingClientRect().left };
    }
    gesture.fingers = Math.max(gesture.fingers, event.touches.length);
    // A second finger makes it a swipe: its centre is measured from here on.
    if (event.touches.length > 1) Object.assign(gesture, { startX: at.x, startY: at.y, endX: at.x, endY: at.y });
    clearTimeout(longPressTimer);
    if (gesture.fingers === 1) {
      longPressTimer = setTimeout(() => {
        if (!gesture || !OrvaneGestures.mayBeLongPress(gesture)) return;
        gesture.longPressed = true;
        click(gesture.startX, gesture.startY, 2);
        if (navigator.vibrate) navigator.vibrate(15);
      }, OrvaneGestures.kDefaults.longPressMs);
    }
  }

  function touchMove(event) {
    if (!gesture) return;
    event.stopPropagation();
    event.preventDefault();
    if (event.touches.length === 0) return;
    const at = centre(event.touches);
    gesture.endX = at.x;
    gesture.endY = at.y;
  }

  function touchEnd(event) {
    if (!gesture) return;
    event.stopPropagation();
    event.preventDefault();
    if (event.touches.length > 0) return;  // the gesture ends with its last finger
    clearTimeout(longPressTimer);
    const done = gesture;
    gesture = null;
    if (event.type === 'touchcancel') return;
    done.durationMs = event.timeStamp - done.startMs;
    const action = OrvaneGestures.classify(done);
    if (action === 'tap') click(done.startX, done.startY, 0);
    else if (action === 'long-press') click(done.startX, done.startY, 2);
    else if (action === 'history-open') wheel(done.startX, done.startY, -1);
    else if (action === 'history-close') wheel(done.startX, done.startY, kCloseNotches);
  }

  const capture = { capture: true, passive: false };
  window.addEventListener('touchstart', touchStart, capture);
  window.addEventListener('touchmove', touchMove, capture);
  window.addEventListener('touchend', touchEnd, capture);
  window.addEventListener('touchcancel', touchEnd, capture);

  // --- the menu for fingers -----------------------------------------------------------------

  const menuButton = document.createElement('button');
  menuButton.id = 'touch-menu-button';
  menuButton.type = 'button';
  menuButton.setAttribute('aria-label', 'Menu');
  menuButton.textContent = '☰';
  const sheet = document.createElement('nav');
  sheet.id = 'touch-menu';
  sheet.hidden = true;
  body.append(menuButton, sheet);

  // "&S" marks the accelerator letter on the bar; "&&" is a plain ampersand.
  function label(caption) {
    return caption.split('\t')[0].replace(/&(.)/g, '$1');
  }

  function itemsInto(container, items) {
    for (const item of items) {
      if (item.separator) continue;
      if (item.children.length > 0) {
        const group = document.createElement('details');
        const summary = document.createElement('summary');
        summary.textContent = label(item.caption);
        group.append(summary);
        itemsInto(group, item.children);
        container.append(group);
        continue;
      }
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.name = item.name;
      button.textContent = (item.checked ? '✓ ' : '') + label(item.caption);
      button.disabled = !item.enabled;
      button.addEventListener('click', () => {
        state.choice = item.name;
        closeSheet();
      });
      container.append(button);
    }
  }

  // The page's own tools (text, saves, closing) go in the sheet too: on a phone the header
  // that holds them is put away while the game plays.
  function pageTools() {
    const group = document.createElement('details');
    const summary = document.createElement('summary');
    summary.textContent = 'This page';
    group.append(summary);
    for (const id of ['show-text', 'export-saves']) {
      const original = document.getElementById(id);
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = original.textContent;
      button.addEventListener('click', () => { closeSheet(); original.click(); });
      group.append(button);
    }
    const importer = document.getElementById('import-saves');
    const importButton = document.createElement('button');
    importButton.type = 'button';
    importButton.textContent = 'Import saves…';
    importButton.addEventListener('click', () => { closeSheet(); importer.click(); });
    group.append(importButton);
    // A published site leaves out what its maker chose to: export, or closing its one game.
    if (document.getElementById('export-saves').hidden) group.querySelectorAll('button')[1].hidden = true;
    const closeLink = document.querySelector('#game-tools a[href="./?pick"]');
    if (closeLink && !closeLink.hidden) {
      const close = document.createElement('a');
      close.href = closeLink.href;
      close.className = 'button';
      close.textContent = closeLink.textContent;
      group.append(close);
    }
    return group;
  }

  function openSheet() {
    sheet.replaceChildren();
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'close';
    close.textContent = 'Back to the game';
    close.addEventListener('click', closeSheet);
    sheet.append(close);
    itemsInto(sheet, state.menu);
    sheet.append(pageTools());
    sheet.hidden = false;
  }

  function closeSheet() {
    sheet.hidden = true;
  }

  menuButton.addEventListener('click', () => (sheet.hidden ? openSheet() : closeSheet()));

  // --- the game's boxes --------------------------------------------------------------------

  // A box of the page's own in place of the window's: a caption, the text or the field, and
  // buttons for fingers. `done(answer)` removes it; only one stands at a time, as in the window.
  function pageBox(caption, fill) {
    return new Promise((resolve) => {
      const box = document.createElement('form');
      box.id = 'touch-text-box';
      const title = document.createElement('p');
      title.className = 'caption';
      title.textContent = caption;
      box.append(title);
      const done = (answer) => { box.remove(); resolve(answer); };
      fill(box, done);
      body.append(box);
      const first = box.querySelector('input, button');
      first.focus();
      if (first.select) first.select();
    });
  }

  function button(text, type, onClick) {
    const b = document.createElement('button');
    b.type = type;
    b.textContent = text;
    if (onClick) b.addEventListener('click', onClick);
    return b;
  }

  function askText(caption, prompt, text) {
    return pageBox(caption, (box, done) => {
      const question = document.createElement('label');
      question.textContent = prompt;
      const field = document.createElement('input');
      field.type = 'text';
      field.value = text;
      field.maxLength = 200;
      field.lang = 'ja';
      field.setAttribute('enterkeyhint', 'done');
      question.append(field);
      box.addEventListener('submit', (event) => { event.preventDefault(); done(field.value); });
      box.append(question, button('OK', 'submit'), button('Cancel', 'button', () => done(null)));
    });
  }

  function askYesNo(caption, text) {
    return pageBox(caption, (box, done) => {
      const question = document.createElement('p');
      question.className = 'question';
      question.textContent = text;
      box.addEventListener('submit', (event) => event.preventDefault());
      box.append(question, button('はい', 'button', () => done(true)), button('いいえ', 'button', () => done(false)));
    });
  }

  // What the player asks of the page (src/platform/web/page_controls.js).
  const controls = {
    menuChanged: (items) => {
      state.menu = items;
      if (!sheet.hidden) openSheet();
    },
    takeMenuChoice: () => {
      const choice = state.choice;
      state.choice = null;
      return choice;
    },
    hasTextBox: () => fingerFirst(),
    askText,
    askYesNo,
  };

  document.addEventListener('orvane-state', (event) => {
    state.playing = event.detail === 'running';
    if (state.playing) fitStage();
    else body.classList.remove('touch-playing');
  });

  return { controls, fitStage };
})();
window.orvaneControls = OrvaneTouch.controls;
