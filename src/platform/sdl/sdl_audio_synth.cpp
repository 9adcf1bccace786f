#include "platform/sdl/sdl_audio_synth.h"

#include <utility>

#include "platform/sdl/fluidsynth_output.h"
#include "platform/sdl/ticked_synth.h"

namespace orv {

DeferredSynth::DeferredSynth(double sampleRate, std::vector<std::filesystem::path> soundFonts)
    : sampleRate_(sampleRate), soundFonts_(std::move(soundFonts)) {}

DeferredSynth::~DeferredSynth() { WaitUntilReady(); }

FluidSynthOutput* DeferredSynth::Ready() const { return ready_.load(std::memory_order_acquire) ? synth_.get() : nullptr; }

TickedSynth* DeferredSynth::Renderer() const {
  return ready_.load(std::memory_order_acquire) ? renderer_.get() : nullptr;
}

bool DeferredSynth::WillSound() const {
  if (const FluidSynthOutput* synth = Ready()) return synth->HasSoundFont();
  return !soundFonts_.empty();
}

void DeferredSynth::WaitUntilReady() {
  if (starter_.joinable()) starter_.join();
}

std::vector<std::string> DeferredSynth::TakeProblems() {
  std::lock_guard lock(mutex_);
  return std::exchange(problems_, {});
}

void DeferredSynth::Preload() {
  if (started_) return;
  started_ = true;
  starter_ = std::thread([this] { Start(); });
}

bool DeferredSynth::Open() {
  Preload();
  songOpen_.store(true, std::memory_order_release);
  if (onOpen_) onOpen_();
  // While it loads, messages are kept for it: the device is as good as open.
  FluidSynthOutput* synth = Ready();
  return synth ? synth->Open() : true;
}

void DeferredSynth::Start() {
  auto synth = std::make_unique<FluidSynthOutput>(sampleRate_, std::nullopt);
  std::vector<std::string> problems;
  bool loaded = false;
  for (const std::filesystem::path& font : soundFonts_) {
    if ((loaded = synth->LoadSoundFont(font))) break;
    problems.push_back("SoundFont " + font.string() + " cannot be read as a SoundFont; trying the next one");
  }
  if (!loaded && !soundFonts_.empty()) problems.push_back("no SoundFont could be loaded: music is silent");

  auto renderer = std::make_unique<TickedSynth>(*synth, int(sampleRate_));
  std::lock_guard lock(mutex_);
  synth_ = std::move(synth);
  renderer_ = std::move(renderer);
  for (const Message& message : pending_) Deliver(message);
  pending_.clear();
  problems_.insert(problems_.end(), problems.begin(), problems.end());
  ready_.store(true, std::memory_order_release);
}

void DeferredSynth::Send(Message message) {
  std::lock_guard lock(mutex_);
  // It may have become ready since the caller looked; the pending ones have gone first.
  if (ready_.load(std::memory_order_relaxed)) return Deliver(message);
  if (pending_.size() < kMaxPendingMessages) pending_.push_back(std::move(message));
}

void DeferredSynth::Deliver(const Message& message) {
  switch (message.kind) {
    case Message::Kind::Short: synth_->ShortMessage(message.status, message.data1, message.data2); break;
    case Message::Kind::Long: synth_->LongMessage(message.bytes); break;
    case Message::Kind::Reset: synth_->Reset(); break;
    case Message::Kind::Close: synth_->Close(); break;
  }
}

void DeferredSynth::ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
  if (FluidSynthOutput* synth = Ready()) return synth->ShortMessage(status, data1, data2);
  Send(Message{Message::Kind::Short, status, data1, data2, {}});
}

void DeferredSynth::LongMessage(ByteSpan bytes) {
  if (FluidSynthOutput* synth = Ready()) return synth->LongMessage(bytes);
  Send(Message{Message::Kind::Long, 0, 0, 0, Bytes(bytes.begin(), bytes.end())});
}

void DeferredSynth::Reset() {
  if (FluidSynthOutput* synth = Ready()) return synth->Reset();
  Send(Message{Message::Kind::Reset, 0, 0, 0, {}});
}

void DeferredSynth::Close() {
  songOpen_.store(false, std::memory_order_release);
  if (FluidSynthOutput* synth = Ready()) return synth->Close();
  Send(Message{Message::Kind::Close, 0, 0, 0, {}});
}

}  // namespace orv
