#pragma once
// The commands of sound effects, music and CD tracks.
namespace orv {
struct CommandContext;
class SoundSystem;
bool CmdWaveplay(const CommandContext& ctx, SoundSystem& sound);  // WAVEPLAY
bool CmdWavestop(const CommandContext& ctx, SoundSystem& sound);  // WAVESTOP
bool CmdMidiplay(const CommandContext& ctx, SoundSystem& sound);  // MIDIPLAY
bool CmdMidistop(const CommandContext& ctx, SoundSystem& sound);  // MIDISTOP
bool CmdCdplay(const CommandContext& ctx, SoundSystem& sound);    // CDPLAY
bool CmdCdstop(const CommandContext& ctx, SoundSystem& sound);    // CDSTOP
}  // namespace orv
