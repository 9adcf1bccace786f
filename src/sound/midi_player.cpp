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
constexpr uint8_t kReverb = 91;
constexpr uint8_t kChorus = 93;
constexpr uint8_t kAllSoundOff = 120;

uint8_t ClampedVolume(uint8_t value) { return std::min<uint8_t>(value, 127); }

}  // namespace

MidiPlayer::MidiPlayer(MidiOutput& output) : output_(output) {}

MidiPlayer::MidiPlayer(AudioOut& audio) : output_(audio.Midi()), audio_(&audio) {
  audio.SetMidiTicker([this] { OnTimer(); });
}

MidiPlayer::~MidiPlayer() {
  UnloadSong();
  if (audio_) audio_->SetMidiTicker({});
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
  song_ = ParseMidiSong(file);
  channels_ = {};
  ticksToNext_ = 0;
  tempo_ = kDefaultTempo;
}

bool MidiPlayer::PlayFromStart() {
  if (!song_) return false;
  StopPlayback();
  channels_ = {};
  tempo_ = kDefaultTempo;
  eventIndex_ = 0;
  ticksToNext_ = 0;
  deviceOpen_ = output_.Open();
  StartTimer();
  return true;
}

void MidiPlayer::StopPlayback() {
  stopRequested_ = true;
  timerRunning_ = false;
  // From here no OnTimer starts its work; wait for one that already has.
  while (inCallback_) std::this_thread::yield();
  SilenceAndClose();
}

void MidiPlayer::UnloadSong() {
  StopPlayback();
  song_.reset();
}

void MidiPlayer::StartTimer() {
  ResetTimeBase();
  timerRunning_ = true;
  stopRequested_ = false;  // last: publishes everything above to OnTimer
}

void MidiPlayer::ResetTimeBase() {
  elapsedMs_ = 0;
  ticksDone_ = 0;
}

void MidiPlayer::OnTimer() {
  // Setting inCallback before looking at stopRequested (StopPlayback does the reverse) means
  // that either StopPlayback waits for this call or this call sees the stop.
  if (inCallback_.exchange(true)) return;
  if (stopRequested_) {
    inCallback_ = false;
    return;
  }

  if (eventIndex_ >= song_->eventCount()) {
    if (loop_) {
      eventIndex_ = 0;
      ticksToNext_ = 0;
      RestartLoop();
    } else {
      // Stopping from here while still marked as in the callback keeps a concurrent
      // StopPlayback waiting until the device is closed.
      stopRequested_ = true;
      timerRunning_ = false;
      SilenceAndClose();
    }
    inCallback_ = false;
    return;
  }

  ++elapsedMs_;
  // A tempo change resets the time base, which lowers the target to what the new base
  // asks for; a target computed once before the loop would race through the old backlog.
  for (int i = 0; i < kMaxTicksPerCallback && ticksDone_ < TargetTicks(); ++i) {
    ExecuteTick();
    ++ticksDone_;
  }
  inCallback_ = false;
}

uint64_t MidiPlayer::TargetTicks() const {
  return uint64_t(elapsedMs_) * song_->division * 1000 / tempo_;
}

void MidiPlayer::RestartLoop() {
  if (!deviceOpen_) {
    deviceOpen_ = output_.Open();
    for (uint8_t channel = 0; channel < 16; ++channel) Send(kControlChange | channel, kAllSoundOff, 0);
  }
  SendChannelStates();
  ResetTimeBase();
}

void MidiPlayer::ExecuteTick() {
  const std::vector<MidiEvent>& events = song_->events;
  while (ticksToNext_ == 0 && eventIndex_ < events.size()) {
    const MidiEvent& event = events[eventIndex_];
    if (event.status == 0xFF) {
      // A tempo takes two records: the low and the high 16 bits.
      const MidiEvent* high = eventIndex_ + 1 < events.size() ? &events[eventIndex_ + 1] : nullptr;
      const uint32_t tempo = uint32_t(event.data1) | uint32_t(event.data2) << 8 |
                             (high ? uint32_t(high->data1) << 16 | uint32_t(high->data2) << 24 : 0);
      if (tempo != 0) {
        tempo_ = tempo;
        ResetTimeBase();
      }
      eventIndex_ += high ? 2 : 1;
    } else {
      Execute(event);
      ++eventIndex_;
    }
    ticksToNext_ = eventIndex_ < events.size() ? events[eventIndex_].delta : 0;
  }
  if (ticksToNext_ > 0) --ticksToNext_;
}

void MidiPlayer::Execute(const MidiEvent& event) {
  const uint8_t kind = event.status & 0xF0;
  ChannelState& channel = channels_[event.status & 0x0F];
  if (event.status == 0xF0) {
    const size_t index = size_t(event.data1) | size_t(event.data2) << 8;
    if (index < song_->sysExBuffers.size()) SendLong(song_->sysExBuffers[index]);
    return;
  }
  if (kind == kControlChange) {
    switch (event.data1) {
      case kBankSelect: channel.bank = event.data2; break;
      case kPan: channel.pan = event.data2; break;
      case kReverb: channel.reverb = event.data2; break;
      case kChorus: channel.chorus = event.data2; break;
      case kVolume:
        channel.volume = event.data2;
        Send(event.status, kVolume, ClampedVolume(event.data2));
        return;
    }
  } else if (kind == kProgramChange) {
    channel.program = event.data1;
  }
  Send(event.status, event.data1, event.data2);
}

void MidiPlayer::SendChannelStates() {
  const auto sendAll = [this](auto message) {
    for (uint8_t channel = 0; channel < 16; ++channel) message(channel, channels_[channel]);
  };
  sendAll([this](uint8_t ch, const ChannelState& s) { Send(kProgramChange | ch, s.program, 0); });
  sendAll([this](uint8_t ch, const ChannelState& s) { Send(kControlChange | ch, kBankSelect, s.bank); });
  sendAll([this](uint8_t ch, const ChannelState& s) { Send(kControlChange | ch, kPan, s.pan); });
  sendAll([this](uint8_t ch, const ChannelState& s) { Send(kControlChange | ch, kReverb, s.reverb); });
  sendAll([this](uint8_t ch, const ChannelState& s) { Send(kControlChange | ch, kChorus, s.chorus); });
  sendAll([this](uint8_t ch, const ChannelState& s) { Send(kControlChange | ch, kVolume, ClampedVolume(s.volume)); });
}

void MidiPlayer::SilenceAndClose() {
  if (!deviceOpen_) return;
  for (uint8_t channel = 0; channel < 16; ++channel) Send(kControlChange | channel, kVolume, 0);
  output_.Reset();
  output_.Close();
  deviceOpen_ = false;
}

// A device that could not be opened takes nothing.
void MidiPlayer::Send(uint8_t status, uint8_t data1, uint8_t data2) {
  if (deviceOpen_) output_.ShortMessage(status, data1, data2);
}

void MidiPlayer::SendLong(ByteSpan bytes) {
  if (deviceOpen_) output_.LongMessage(bytes);
}

}  // namespace orv
