#pragma once
// The page's finger-sized controls, answered by src/platform/web/page_controls.js.
extern "C" {
// The menu bar's items changed: `json` as MenuModelJson writes it.
void orvane_web_menu_changed(const char* json);
// Copies the name of the item the page's menu chose into `out` (NUL-terminated) and returns
// its length; 0 when nothing was chosen, or the name does not fit.
int orvane_web_take_menu_choice(char* out, int size);
// Asks the page's own text box (UTF-8 in, UTF-8 out, NUL-terminated) and waits for it, giving the
// tab back to the browser meanwhile. Returns the answer's length, -1 when the page has no box
// of its own (the window's is used), -2 when the player cancelled, -3 when it did not fit.
int orvane_web_ask_text(const char* caption, const char* prompt, const char* defaultText, char* out, int size);
// Asks the page's own yes-or-no box and waits for it, as above: 1 yes, 0 no, -1 when the page
// has no box of its own.
int orvane_web_ask_yes_no(const char* caption, const char* text);
}
