#include "sound/midi_player.h"

#include <algorithm>
#include <thread>

#include "platform/audio.h"

namespace orv {
namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kBankSelect = 0;
constexpr uint8_t kVolume = 7;
constexpr uint8_t kPan = 10;
constexpr uint8_t kExpression = 11;
constexpr uint8_t kReverb = 91;
constexpr uint8_t kChorus = 93;
constexpr uint8_t kAllSoundOff = 120;

uint8_t ClampedVolume(uint8_t value) { return std::min<uint8_t>(value, 127); }

// The General MIDI power-on values, for what a song never set.
constexpr uint8_t kDefaultProgram = 0, kDefaultBank = 0, kDefaultPan = 64, kDefaultReverb = 40, kDefaultChorus = 0,
                  kDefaultVolume = 100, kDefaultExpression = 127;

// A pass that takes no tick (every record after the first at delta 0) or sounds no note is
// not worth another: looping it would resend the song's state on every timer callback.
bool SongReplays(const MidiSong& song) {
  bool takesTime = false, soundsNote = false;
  for (size_t i = 0; i < song.events.size(); ++i) {
    const MidiEvent& event = song.events[i];
    // The first record runs on the first tick whatever its delta.
    if (i > 0 && event.delta > 0) takesTime = true;
    if ((event.status & 0xF0) == 0x90 && event.data2 > 0) soundsNote = true;
  }
  return takesTime && soundsNote;
}

}  // namespace

MidiPlayer::MidiPlayer(MidiOutput& device) : output(device) {}

MidiPlayer::MidiPlayer(AudioOut& audioOut) : output(audioOut.Midi()), audio(&audioOut) {
  audioOut.SetMidiTicker([this] { OnTimer(); });
}

MidiPlayer::~MidiPlayer() {
  UnloadSong();
  if (audio) audio->SetMidiTicker({});
}

void MidiPlayer::LoadSong(const std::optional<Bytes>& file) {
  if (file) {
    LoadSong(ByteSpan(*file));
  } else {
    UnloadSong();
  }
}

void MidiPlayer::LoadSong(ByteSpan file) {
  StopPlayback();
  song = ParseMidiSong(file);
  replays = song && SongReplays(*song);
  channelStates = {};
  ticksToNext = 0;
  tempo = kDefaultTempo;
}

bool MidiPlayer::PlayFromStart() {
  if (!song) return false;
  StopPlayback();
  channelStates = {};
  tempo = kDefaultTempo;
  eventIndex = 0;
  ticksToNext = 0;
  deviceOpen = output.Open();
  StartTimer();
  return true;
}

void MidiPlayer::StopPlayback() {
  stopRequested = true;
  timerRunning = false;
  // From here no OnTimer starts its work; wait for one that already has.
  while (inCallback) std::this_thread::yield();
  SilenceAndClose();
}

void MidiPlayer::UnloadSong() {
  StopPlayback();
  song.reset();
}

void MidiPlayer::StartTimer() {
  ResetTimeBase();
  timerRunning = true;
  stopRequested = false;  // last: publishes everything above to OnTimer
}

void MidiPlayer::ResetTimeBase() {
  elapsedMs = 0;
  ticksDone = 0;
}

void MidiPlayer::OnTimer() {
  // Setting inCallback before looking at stopRequested (StopPlayback does the reverse) means
  // that either StopPlayback waits for this call or this call sees the stop. A call that
  // overlaps another (no backend makes one) does nothing.
  if (inCallback.exchange(true)) return;
  if (stopRequested) {
    inCallback = false;
    return;
  }

  if (eventIndex >= song->eventCount()) {
    if (loop && !replays) {
      // Holds at its end: what it set stays set and nothing more is sent.
    } else if (loop) {
      eventIndex = 0;
      ticksToNext = 0;
      RestartLoop();
    } else {
      // Stopping from here while still marked as in the callback keeps a concurrent
      // StopPlayback waiting until the device is closed.
      stopRequested = true;
      timerRunning = false;
      SilenceAndClose();
    }
    inCallback = false;
    return;
  }

  ++elapsedMs;
  // A tempo change resets the time base, which lowers the target to what the new base
  // asks for; a target computed once before the loop would race through the old backlog.
  for (int i = 0; i < kMaxTicksPerCallback && ticksDone < TargetTicks(); ++i) {
    ExecuteTick();
    ++ticksDone;
  }
  inCallback = false;
}

uint64_t MidiPlayer::TargetTicks() const {
  return uint64_t(elapsedMs) * song->division * 1000 / tempo;
}

void MidiPlayer::RestartLoop() {
  if (!deviceOpen) {
    deviceOpen = output.Open();
    for (uint8_t channel = 0; channel < 16; ++channel) Send(kControlChange | channel, kAllSoundOff, 0);
  }
  SendChannelStates();
  ResetTimeBase();
}

void MidiPlayer::ExecuteTick() {
  const std::vector<MidiEvent>& events = song->events;
  while (ticksToNext == 0 && eventIndex < events.size()) {
    const MidiEvent& event = events[eventIndex];
    if (event.status == 0xFF) {
      // A tempo takes two records: the low and the high 16 bits.
      const MidiEvent* high = eventIndex + 1 < events.size() ? &events[eventIndex + 1] : nullptr;
      const uint32_t value = uint32_t(event.data1) | uint32_t(event.data2) << 8 |
                             (high ? uint32_t(high->data1) << 16 | uint32_t(high->data2) << 24 : 0);
      if (value != 0) {
        tempo = value;
        ResetTimeBase();
      }
      eventIndex += high ? 2 : 1;
    } else {
      Execute(event);
      ++eventIndex;
    }
    ticksToNext = eventIndex < events.size() ? events[eventIndex].delta : 0;
  }
  if (ticksToNext > 0) --ticksToNext;
}

void MidiPlayer::Execute(const MidiEvent& event) {
  const uint8_t kind = event.status & 0xF0;
  ChannelState& channel = channelStates[event.status & 0x0F];
  if (event.status == 0xF0) {
    const size_t index = size_t(event.data1) | size_t(event.data2) << 8;
    if (index < song->sysExBuffers.size()) SendLong(song->sysExBuffers[index]);
    return;
  }
  if (kind == kControlChange) {
    switch (event.data1) {
      case kBankSelect: channel.bank = event.data2; break;
      case kPan: channel.pan = event.data2; break;
      case kExpression: channel.expression = event.data2; break;
      case kReverb: channel.reverb = event.data2; break;
      case kChorus: channel.chorus = event.data2; break;
      case kVolume:
        channel.volume = ClampedVolume(event.data2);
        Send(event.status, kVolume, *channel.volume);
        return;
    }
  } else if (kind == kProgramChange) {
    channel.program = event.data1;
  }
  Send(event.status, event.data1, event.data2);
}

void MidiPlayer::SendChannelStates() {
  // One kind of message for all sixteen channels, then the next kind.
  for (uint8_t channel = 0; channel < 16; ++channel)
    Send(kProgramChange | channel, channelStates[channel].program.value_or(kDefaultProgram), 0);
  const auto controllerForAll = [this](uint8_t controller, std::optional<uint8_t> ChannelState::*field,
                                       uint8_t fallback) {
    for (uint8_t channel = 0; channel < 16; ++channel)
      Send(kControlChange | channel, controller, (channelStates[channel].*field).value_or(fallback));
  };
  controllerForAll(kBankSelect, &ChannelState::bank, kDefaultBank);
  controllerForAll(kPan, &ChannelState::pan, kDefaultPan);
  controllerForAll(kReverb, &ChannelState::reverb, kDefaultReverb);
  controllerForAll(kChorus, &ChannelState::chorus, kDefaultChorus);
  controllerForAll(kVolume, &ChannelState::volume, kDefaultVolume);
  controllerForAll(kExpression, &ChannelState::expression, kDefaultExpression);
}

void MidiPlayer::SilenceAndClose() {
  if (!deviceOpen) return;
  for (uint8_t channel = 0; channel < 16; ++channel) Send(kControlChange | channel, kVolume, 0);
  output.Reset();
  output.Close();
  deviceOpen = false;
}

// A device that could not be opened takes nothing.
void MidiPlayer::Send(uint8_t status, uint8_t data1, uint8_t data2) {
  if (deviceOpen) output.ShortMessage(status, data1, data2);
}

void MidiPlayer::SendLong(ByteSpan bytes) {
  if (deviceOpen) output.LongMessage(bytes);
}

}  // namespace orv
