// What a published site says about itself; tools/orvane-web-pack writes its own. Here, in the
// player's build, nothing: the page asks for a game.
'use strict';
window.orvaneSite = {};
