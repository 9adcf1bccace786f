// The player's calls to the page's finger-sized controls (see page_controls_bridge.h). The page
// sets Module.orvaneControls to an object with menuChanged(items), takeMenuChoice(),
// hasTextBox() (whether the page's boxes stand in for the window's), askText(caption, prompt,
// text) (a promise of the answer, null when cancelled) and askYesNo(caption, text) (a promise of
// true or false); without one each call does nothing and the window's own boxes are used.
mergeInto(LibraryManager.library, {
  orvane_web_menu_changed: function (json) {
    var controls = Module.orvaneControls;
    if (!controls) return;
    try {
      controls.menuChanged(JSON.parse(UTF8ToString(json)));
    } catch (e) {
      console.warn('the menu could not be handed to the page: ' + e);
    }
  },
  orvane_web_take_menu_choice: function (out, size) {
    var controls = Module.orvaneControls;
    var name = controls ? controls.takeMenuChoice() : null;
    if (typeof name !== 'string' || name === '') return 0;
    if (lengthBytesUTF8(name) + 1 > size) return 0;
    return stringToUTF8(name, out, size);
  },
  orvane_web_ask_text__deps: ['$Asyncify'],
  orvane_web_ask_text: function (caption, prompt, defaultText, out, size) {
    var controls = Module.orvaneControls;
    // The resume after the sleep comes back here and must reach handleSleep to end.
    var resuming = Asyncify.state === Asyncify.State.Rewinding;
    if (!resuming && (!controls || !controls.hasTextBox())) return -1;
    var question = [UTF8ToString(caption), UTF8ToString(prompt), UTF8ToString(defaultText)];
    return Asyncify.handleSleep(function (wakeUp) {
      Promise.resolve(controls.askText(question[0], question[1], question[2])).then(function (answer) {
        if (typeof answer !== 'string') return wakeUp(-2);
        if (lengthBytesUTF8(answer) + 1 > size) return wakeUp(-3);
        wakeUp(stringToUTF8(answer, out, size));
      }, function () { wakeUp(-2); });
    });
  },
  orvane_web_ask_yes_no__deps: ['$Asyncify'],
  orvane_web_ask_yes_no: function (caption, text) {
    var controls = Module.orvaneControls;
    var resuming = Asyncify.state === Asyncify.State.Rewinding;
    if (!resuming && (!controls || !controls.hasTextBox())) return -1;
    var question = [UTF8ToString(caption), UTF8ToString(text)];
    return Asyncify.handleSleep(function (wakeUp) {
      Promise.resolve(controls.askYesNo(question[0], question[1])).then(function (yes) {
        wakeUp(yes ? 1 : 0);
      }, function () { wakeUp(0); });
    });
  },
});
