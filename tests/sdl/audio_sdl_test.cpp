#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/audio/wave_file.h"
#include "platform/sdl/alsa_midi_output.h"
#include "platform/sdl/fluidsynth_output.h"
#include "platform/sdl/raw_audio_stream.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_audio_synth.h"
#include "platform/sdl/ticked_synth.h"
#include "sound/midi_player.h"
#include "sound/smf_builder.h"
#include "sound/wave_builder.h"
#include "support/test_support.h"

namespace orv {
namespace {

using namespace std::chrono_literals;

// SDL's dummy driver: a real audio thread that consumes the stream at the device's pace,
// with no sound card.
SdlAudio::Options DummyDevice() {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  return SdlAudio::Options{};
}

template <typename Predicate>
bool WaitFor(Predicate done, std::chrono::milliseconds limit = 3000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

TEST(SdlAudio, PlaysWavesOnceOrLooping) {
  SdlAudio audio(DummyDevice());
  ASSERT_TRUE(audio.DeviceOpen()) << SDL_GetError();
  EXPECT_FALSE(audio.PlayWave(Bytes{'R', 'I', 'F', 'F'}, false));
  ASSERT_TRUE(audio.PlayWave(test::PcmWave(2, 22050, 16, 2205), false));  // 100 ms
  EXPECT_TRUE(audio.WavePlaying());
  EXPECT_TRUE(WaitFor([&] { return !audio.WavePlaying(); }));

  ASSERT_TRUE(audio.PlayWave(test::MsAdpcmWave(1, 11025, 256, 256), true));
  std::this_thread::sleep_for(200ms);
  EXPECT_TRUE(audio.WavePlaying());
  audio.StopWave();
  EXPECT_FALSE(audio.WavePlaying());
}

TEST(SdlAudio, TrackEndCallbackRunsFromPumpOnlyWhenTheTrackEndsByItself) {
  test::TempDir dir;
  dir.Write("track02.wav", test::PcmWave(2, 44100, 16, 4410));
  SdlAudio audio(DummyDevice());
  ASSERT_TRUE(audio.DeviceOpen());
  int ends = 0;
  ASSERT_TRUE(audio.PlayTrack(dir.path() / "track02.wav", [&](uint32_t) { ++ends; }));
  EXPECT_TRUE(audio.TrackPlaying());
  EXPECT_TRUE(WaitFor([&] {
    audio.Pump();
    return ends == 1;
  }));
  EXPECT_FALSE(audio.TrackPlaying());

  ASSERT_TRUE(audio.PlayTrack(dir.path() / "track02.wav", [&](uint32_t) { ++ends; }));
  audio.StopTrack();
  std::this_thread::sleep_for(200ms);
  audio.Pump();
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(audio.PlayTrack(dir.path() / "missing.ogg", [&](uint32_t) { ++ends; }));
}

TEST(SdlAudio, RawCdAudioReadsAsOneWaveAcrossItsSpans) {
  test::TempDir dir;
  Bytes a(4000), b(100);
  for (size_t i = 0; i < a.size(); ++i) a[i] = uint8_t(i * 7);
  for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(200 + i);
  dir.Write("a.bin", a);
  dir.Write("b.bin", b);
  // 2000 bytes from the middle of a.bin, then 10 from b.bin, of which the last 2 are half a frame.
  SDL_RWops* stream = OpenRawAudioAsWave({{dir.path() / "a.bin", 1000, 2000}, {dir.path() / "b.bin", 4, 10}});
  ASSERT_NE(stream, nullptr) << SDL_GetError();
  EXPECT_EQ(SDL_RWsize(stream), 44 + 2008);
  Bytes read(3000);
  EXPECT_EQ(SDL_RWread(stream, read.data(), 1, read.size()), 44u + 2008u);
  const auto info = ParseWaveFile(read);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->channels, 2);
  EXPECT_EQ(info->sampleRate, 44100u);
  EXPECT_EQ(info->frames, 502u);
  EXPECT_TRUE(std::equal(a.begin() + 1000, a.begin() + 3000, read.begin() + 44));
  EXPECT_TRUE(std::equal(b.begin() + 4, b.begin() + 12, read.begin() + 44 + 2000));
  // Seeking back into the header and across the join reads the same bytes again.
  EXPECT_EQ(SDL_RWseek(stream, 44 + 1996, RW_SEEK_SET), 44 + 1996);
  uint8_t join[8];
  EXPECT_EQ(SDL_RWread(stream, join, 1, 8), 8u);
  EXPECT_TRUE(std::equal(join, join + 8, read.begin() + 44 + 1996));
  EXPECT_LT(SDL_RWseek(stream, -1, RW_SEEK_SET), 0);
  SDL_RWclose(stream);

  // A span of no file is silence, read as zeros between the files' bytes.
  stream = OpenRawAudioAsWave({{dir.path() / "a.bin", 0, 8}, {{}, 0, 12}, {dir.path() / "b.bin", 0, 4}});
  ASSERT_NE(stream, nullptr) << SDL_GetError();
  Bytes gap(44 + 24);
  EXPECT_EQ(SDL_RWread(stream, gap.data(), 1, gap.size()), gap.size());
  EXPECT_TRUE(std::equal(a.begin(), a.begin() + 8, gap.begin() + 44));
  EXPECT_EQ(Bytes(gap.begin() + 52, gap.begin() + 64), Bytes(12, 0));
  EXPECT_TRUE(std::equal(b.begin(), b.begin() + 4, gap.begin() + 64));
  SDL_RWclose(stream);

  EXPECT_EQ(OpenRawAudioAsWave({{dir.path() / "b.bin", 50, 51}}), nullptr);
  EXPECT_EQ(OpenRawAudioAsWave({{dir.path() / "gone.bin", 0, 0}}), nullptr);
}

TEST(SdlAudio, RawTracksPlayThroughTheMixerAndEnd) {
  test::TempDir dir;
  dir.Write("disc.bin", Bytes(176400, 0));
  SdlAudio audio(DummyDevice());
  ASSERT_TRUE(audio.DeviceOpen());
  uint32_t played = 0;
  // 200 ms of a one-second image.
  ASSERT_TRUE(audio.PlayRawTrack({{dir.path() / "disc.bin", 88200, 35280}}, [&](uint32_t ms) { played = ms; }));
  EXPECT_TRUE(audio.TrackPlaying());
  EXPECT_TRUE(WaitFor([&] {
    audio.Pump();
    return played != 0;
  }));
  EXPECT_GE(played, 150u);
  EXPECT_FALSE(audio.PlayRawTrack({{dir.path() / "disc.bin", 176400, 4}}, {}));
  EXPECT_FALSE(audio.TrackPlaying());
}

TEST(SdlAudio, TheAudioStreamDrivesTheMidiTickerAtOneMillisecond) {
  SdlAudio audio(DummyDevice());
  ASSERT_TRUE(audio.DeviceOpen());
  std::atomic<int> ticks{0};
  audio.SetMidiTicker([&] { ++ticks; });
  // No song time passes before the synthesizer has started with the first song.
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(ticks, 0);
  ASSERT_TRUE(audio.Midi().Open());
  audio.synthesizer()->WaitUntilReady();
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(500ms);
  audio.SetMidiTicker({});
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_GT(ticks, 300);
  EXPECT_LT(ticks, elapsed.count() + 100);

  // The volume of each line reads back as set.
  audio.SetVolume(VolumeLine::Cd, 0x32C80000);
  uint32_t volume = 0;
  ASSERT_TRUE(audio.GetVolume(VolumeLine::Cd, volume));
  EXPECT_EQ(volume, 0x32C80000u);
}

TEST(SdlAudio, PlaysASongThroughTheMixedInSynthesizerInRealTime) {
  SdlAudio audio(DummyDevice());
  ASSERT_TRUE(audio.DeviceOpen());
  MidiPlayer player(audio);
  // The last event is at tick 48: the 49th tick, 201 ms after the start at 150 bpm.
  player.LoadSong(test::Smf(96, {test::Track().Event(0, {0x90, 60, 100}).Event(48, {0x80, 60, 0})}));
  player.SetLoop(false);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(player.PlayFromStart());
  EXPECT_TRUE(WaitFor([&] { return !player.Playing(); }));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, 150ms);
  EXPECT_LT(elapsed, 1500ms);
}

// Nothing that sounds, nothing that runs: the device pauses when the last sound has ended and
// the synthesizer's song and tail are over, and wakes for the next song, which still keeps time.
TEST(SdlAudio, TheDevicePausesWhenNothingSoundsAndTheSynthesizerStopsAfterItsSong) {
  SdlAudio audio(DummyDevice());
  ASSERT_TRUE(audio.DeviceOpen());
  audio.Pump();
  EXPECT_TRUE(audio.DevicePaused());
  ASSERT_TRUE(audio.PlayWave(test::PcmWave(2, 22050, 16, 2205), false));  // 100 ms
  EXPECT_FALSE(audio.DevicePaused());
  audio.Pump();
  EXPECT_FALSE(audio.DevicePaused());  // it is still playing
  ASSERT_TRUE(WaitFor([&] { return !audio.WavePlaying(); }));
  audio.Pump();
  EXPECT_TRUE(audio.DevicePaused());

  MidiPlayer player(audio);
  player.LoadSong(test::Smf(96, {test::Track().Event(0, {0x90, 60, 100}).Event(24, {0x80, 60, 0})}));
  player.SetLoop(false);
  ASSERT_TRUE(player.PlayFromStart());
  EXPECT_FALSE(audio.DevicePaused());  // woken by the song
  audio.synthesizer()->WaitUntilReady();
  // The song ends by itself (100 ms), its note and reverb die away, and then the device pauses.
  EXPECT_TRUE(WaitFor([&] {
    audio.Pump();
    return audio.DevicePaused();
  }, 5000ms));
  EXPECT_FALSE(player.Playing());
  // The next song wakes it and plays to its end again: its time still comes from the device.
  ASSERT_TRUE(player.PlayFromStart());
  EXPECT_FALSE(audio.DevicePaused());
  EXPECT_TRUE(WaitFor([&] { return !player.Playing(); }, 2000ms));
}

// How often SDL's audio thread has given up the processor so far; -1 when it is not found.
long AudioThreadSwitches() {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (fs::directory_iterator it("/proc/self/task", ec), end; !ec && it != end; it.increment(ec)) {
    std::string name;
    std::getline(std::ifstream(it->path() / "comm"), name);
    if (name.rfind("SDLAudio", 0) != 0) continue;
    std::ifstream status(it->path() / "status");
    long switches = 0;
    for (std::string line; std::getline(status, line);)
      if (line.find("ctxt_switches:") != std::string::npos) switches += std::stol(line.substr(line.find(':') + 1));
    return switches;
  }
  return -1;
}

// A paused device's thread would still wake for every block to write silence; it must not
// run at all until the next sound, and then run again.
TEST(SdlAudio, APausedDeviceParksItsThreadUntilTheNextSound) {
  SdlAudio audio(DummyDevice());
  ASSERT_TRUE(audio.DeviceOpen());
  audio.Pump();
  ASSERT_TRUE(audio.DevicePaused());
  std::this_thread::sleep_for(50ms);  // a block under way when it paused ends
  const long parked = AudioThreadSwitches();
  ASSERT_GE(parked, 0);
  std::this_thread::sleep_for(200ms);  // eight blocks of 1024 frames
  EXPECT_EQ(AudioThreadSwitches(), parked);

  ASSERT_TRUE(audio.PlayWave(test::PcmWave(2, 22050, 16, 2205), false));  // 100 ms
  EXPECT_TRUE(WaitFor([&] { return !audio.WavePlaying(); }));
  EXPECT_GT(AudioThreadSwitches(), parked + 2);
  audio.Pump();
  EXPECT_TRUE(audio.DevicePaused());
}  // and closing the parked device does not wait for ever

TEST(SdlAudio, DecodesAdpcmToTheFrameCountTheHeaderParserGives) {
  SdlAudio audio(DummyDevice());  // sets how SDL treats a short last block
  for (const Bytes& file : {test::MsAdpcmWave(1, 8000, 256, 3 * 256 + 107), test::MsAdpcmWave(2, 22050, 512, 4 * 512),
                            test::ImaAdpcmWave(2, 22050, 1024, 10 * 1024), test::ImaAdpcmWave(1, 8000, 256, 2 * 256 + 100),
                            test::PcmWave(2, 44100, 16, 12345)}) {
    SDL_AudioSpec format;
    Uint8* samples = nullptr;
    Uint32 length = 0;
    ASSERT_TRUE(SDL_LoadWAV_RW(SDL_RWFromConstMem(file.data(), int(file.size())), 1, &format, &samples, &length))
        << SDL_GetError();
    const uint64_t frames = length / (format.channels * SDL_AUDIO_BITSIZE(format.format) / 8);
    SDL_FreeWAV(samples);
    EXPECT_EQ(ParseWaveFile(file)->frames, frames);
  }
}

// The default SoundFont, when a General MIDI font package is installed.
std::optional<std::filesystem::path> SystemFont() { return FluidSynthOutput::FindSoundFont({}, {}); }

TEST(FluidSynthOutput, SoundFontsAreTriedExplicitThenGameThenSdlsListThenTheSystems) {
  test::TempDir game;
  game.Write("music/inner.sf2", "x");  // only the folder itself counts
  game.Write("b.sf2", "x");
  game.Write("A.SF2", "x");
  const auto candidates =
      FluidSynthOutput::SoundFontCandidates("/x/given.sf2", game.path(), "/y/one.sf2:;/y/two.sf2");
  std::vector<std::string> files;
  for (const auto& candidate : candidates) files.push_back(candidate.file.string() + " " + candidate.origin);
  ASSERT_GE(files.size(), 5u);
  EXPECT_EQ(files[0], "/x/given.sf2 --soundfont");
  // A SoundFont the settings file names is told as the settings file's.
  EXPECT_EQ(FluidSynthOutput::SoundFontCandidates("/x/given.sf2", {}, "", "the settings file /c/orvane.toml")[0].origin,
            "the settings file /c/orvane.toml");
  EXPECT_EQ(files[1], (game.path() / "A.SF2").string() + " the game folder");
  EXPECT_EQ(files[2], (game.path() / "b.sf2").string() + " the game folder");
  EXPECT_EQ(files[3], "/y/one.sf2 SDL_SOUNDFONTS");
  EXPECT_EQ(files[4], "/y/two.sf2 SDL_SOUNDFONTS");
  for (size_t i = 5; i < candidates.size(); ++i) EXPECT_EQ(candidates[i].origin, "the system");
  // The first that exists is the one found: a missing file given by name is passed over.
  EXPECT_EQ(FluidSynthOutput::FindSoundFont("/x/given.sf2", game.path()), game.path() / "A.SF2");
  test::TempDir empty;
  EXPECT_EQ(FluidSynthOutput::FindSoundFont({}, empty.path()), SystemFont());
}

TEST(FluidSynthOutput, AFileThatIsNoSoundFontLoadsNothing) {
  test::TempDir dir;
  dir.Write("broken.sf2", std::string("RIFF\x04\0\0\0sfbk", 12));
  FluidSynthOutput synth(44100, dir.path() / "broken.sf2");
  EXPECT_FALSE(synth.HasSoundFont());
  if (const auto font = SystemFont()) {
    EXPECT_TRUE(synth.LoadSoundFont(*font));
    EXPECT_TRUE(synth.HasSoundFont());
  }
}

TEST(SdlAudio, EachSoundFontThatFailsIsSaidInOneLineAndTheNextIsTried) {
  if (!SystemFont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
  test::TempDir dir;
  dir.Write("bad.sf2", std::string("not a SoundFont"));
  SdlAudio::Options options = DummyDevice();
  options.soundFont = dir.path() / "missing.sf2";
  options.sdlSoundFonts = (dir.path() / "bad.sf2").string();
  SdlAudio audio(options);
  ASSERT_TRUE(audio.DeviceOpen());
  EXPECT_TRUE(audio.MusicReady());
  EXPECT_EQ(audio.soundFont(), *SystemFont());
  ASSERT_EQ(audio.SetupProblems().size(), 2u);
  EXPECT_NE(audio.SetupProblems()[0].find("missing.sf2 (from --soundfont) is not a file"), std::string::npos);
  EXPECT_NE(audio.SetupProblems()[1].find("bad.sf2 (from SDL_SOUNDFONTS) cannot be read"), std::string::npos);
}

// A SoundFont whose header passes a quick look but whose body FluidSynth refuses.
std::filesystem::path BrokenFont(const test::TempDir& dir) {
  dir.Write("broken.sf2", std::string("RIFF\x04\0\0\0sfbk", 12));
  return dir.path() / "broken.sf2";
}

// The loudest sample of `ms` milliseconds rendered by a ready synthesizer, and the ticks run.
std::pair<float, int> RenderMs(DeferredSynth& synth, int ms) {
  std::vector<float> out(2 * 441);
  float loudest = 0;
  int ticks = 0;
  for (int done = 0; done < ms; done += 10) {
    synth.Renderer()->Render(out.data(), 441, [&] { ++ticks; });
    for (float sample : out) loudest = std::max(loudest, std::abs(sample));
  }
  return {loudest, ticks};
}

TEST(DeferredSynth, StartsAtTheFirstOpenAndPlaysWhatWasSentMeanwhileInOrder) {
  const auto font = SystemFont();
  if (!font) GTEST_SKIP() << "no General MIDI SoundFont installed";
  for (bool silencedAfter : {false, true}) {
    DeferredSynth synth(44100, {*font});
    EXPECT_FALSE(synth.Started());
    EXPECT_TRUE(synth.WillSound());
    synth.ShortMessage(0xC0, 0, 0);  // before the start: kept as well
    ASSERT_TRUE(synth.Open());
    EXPECT_TRUE(synth.Started());
    synth.ShortMessage(0x90, 60, 120);
    synth.LongMessage(Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});  // General MIDI on
    synth.ShortMessage(0x90, 60, 120);
    if (silencedAfter) synth.Close();
    synth.WaitUntilReady();
    ASSERT_NE(synth.Renderer(), nullptr);
    const auto [loudest, ticks] = RenderMs(synth, 300);
    EXPECT_EQ(ticks, 300);
    // The note sounds unless the all-sounds-off sent after it came after it.
    if (silencedAfter)
      EXPECT_LT(loudest, 1e-3f);
    else
      EXPECT_GT(loudest, 0.01f);
    EXPECT_TRUE(synth.TakeProblems().empty());
  }
}

TEST(DeferredSynth, SoundFontsThatFailToLoadAreSaidAndTheNextIsTried) {
  test::TempDir dir;
  const std::filesystem::path broken = BrokenFont(dir);
  {
    DeferredSynth synth(44100, {broken});
    EXPECT_TRUE(synth.WillSound());  // until it is tried
    synth.Open();
    synth.WaitUntilReady();
    EXPECT_FALSE(synth.WillSound());
    const std::vector<std::string> problems = synth.TakeProblems();
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("broken.sf2 cannot be read"), std::string::npos);
    EXPECT_NE(problems[1].find("music is silent"), std::string::npos);
    EXPECT_TRUE(synth.TakeProblems().empty());
    // Silent, but songs still run their course.
    ASSERT_NE(synth.Renderer(), nullptr);
    EXPECT_EQ(RenderMs(synth, 100).second, 100);
  }
  if (const auto font = SystemFont()) {
    DeferredSynth synth(44100, {broken, *font});
    synth.Open();
    synth.WaitUntilReady();
    EXPECT_TRUE(synth.WillSound());
    EXPECT_EQ(synth.TakeProblems().size(), 1u);
  }
  // Never opened: nothing is started, and going away is quiet.
  DeferredSynth unused(44100, {broken});
  EXPECT_EQ(unused.Renderer(), nullptr);
}

TEST(SdlAudio, TheSynthesizerWaitsForTheFirstSongAndLateProblemsComeThroughPump) {
  if (!SystemFont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
  test::TempDir dir;
  SdlAudio::Options options = DummyDevice();
  options.soundFont = BrokenFont(dir);
  SdlAudio audio(options);
  ASSERT_TRUE(audio.DeviceOpen());
  EXPECT_TRUE(audio.SetupProblems().empty());  // its header looks right
  EXPECT_EQ(audio.soundFont(), options.soundFont);
  std::vector<std::string> late;
  bool silent = true;
  audio.OnLateProblems([&](const std::vector<std::string>& lines, bool musicSilent) {
    late.insert(late.end(), lines.begin(), lines.end());
    silent = musicSilent;
  });
  std::this_thread::sleep_for(100ms);
  ASSERT_NE(audio.synthesizer(), nullptr);
  EXPECT_FALSE(audio.synthesizer()->Started());
  audio.Pump();
  EXPECT_TRUE(late.empty());

  MidiPlayer player(audio);
  player.LoadSong(test::Smf(96, {test::Track().Event(0, {0x90, 60, 100}).Event(24, {0x80, 60, 0})}));
  player.SetLoop(false);
  ASSERT_TRUE(player.PlayFromStart());
  EXPECT_TRUE(WaitFor([&] {
    audio.Pump();
    return !late.empty() && !player.Playing();
  }));
  ASSERT_EQ(late.size(), 1u);
  EXPECT_NE(late[0].find("broken.sf2 cannot be read"), std::string::npos);
  EXPECT_FALSE(silent);
  EXPECT_TRUE(audio.MusicReady());
}

// Renders a song offline the way the desktop does; the samples of two runs must match.
std::vector<float> RenderSong(const std::filesystem::path& font, const Bytes& song, int frames) {
  FluidSynthOutput synth(44100, font);
  EXPECT_TRUE(synth.HasSoundFont());
  MidiPlayer player(synth);
  player.LoadSong(song);
  player.PlayFromStart();
  TickedSynth ticked(synth, 44100);
  std::vector<float> out(2 * size_t(frames));
  for (int done = 0; done < frames; done += 1000)
    ticked.Render(out.data() + 2 * done, std::min(1000, frames - done), [&] { player.OnTimer(); });
  return out;
}

TEST(FluidSynthOutput, RendersSongsDeterministically) {
  const auto font = SystemFont();
  if (!font) GTEST_SKIP() << "no General MIDI SoundFont installed";
  const Bytes song = test::Smf(96, {test::Track()
                                        .Event(0, {0xC0, 0})
                                        .Event(0, {0x90, 60, 100})
                                        .Event(10, {0x90, 64, 100})
                                        .Event(10, {0x80, 60, 0})
                                        .Event(30, {0x80, 64, 0})});
  const std::vector<float> first = RenderSong(*font, song, 44100);
  // Silence (but for the effects' noise floor) until the first tick at 5 ms, sound after.
  float early = 0, late = 0;
  for (size_t i = 0; i < 2 * 200; ++i) early = std::max(early, std::abs(first[i]));
  for (size_t i = 2 * 4410; i < 2 * 22050; ++i) late = std::max(late, std::abs(first[i]));
  EXPECT_LT(early, 1e-5f);
  EXPECT_GT(late, 0.01f);
  EXPECT_EQ(RenderSong(*font, song, 44100), first);
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

TEST(AlsaMidiOutput, AMissingPortLeavesAnOutputThatTakesNothing) {
  AlsaMidiOutput output("no-such-synthesizer:0");
  EXPECT_FALSE(output.Connected());
  EXPECT_FALSE(output.Open());
  output.ShortMessage(0x90, 60, 100);
  output.LongMessage(Bytes{0xF0, 0x7E, 0xF7});
  output.Reset();
  output.Close();
}

}  // namespace
}  // namespace orv
