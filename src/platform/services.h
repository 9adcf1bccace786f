#pragma once
// Everything the game takes from the platform, handed to it at construction.
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/diagnostics.h"
#include "platform/game_folder.h"
#include "platform/host.h"
#include "platform/speech.h"
#include "platform/text/font_renderer.h"

namespace orv {

struct PlatformServices {
  Host& host;
  Clock& clock;
  const GameFolder& folder;
  FontRenderer& fonts;
  AudioOut& audio;
  Diagnostics& diagnostics;
  Speech& speech;
};

}  // namespace orv
