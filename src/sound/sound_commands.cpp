// The sound commands: a sound effect, background music through the sequencer, and CD tracks.
// Each records what plays in the scene record so that a loaded game can start the same sound
// again.
#include "sound/sound_commands.h"

#include "logic/command_context.h"
#include "logic/inline_forms.h"
#include "platform/sjis.h"
#include "sound/sound_system.h"

namespace orv {

namespace {
// Reads a quoted file name, then the ignored number up to the first comma, then the flag.
std::string ReadNameAndSkip(const CommandContext& ctx) {
  std::string name = ctx.reader.ReadFileNameArgument();
  ReadNumberArgument(ctx);
  return name;
}
}  // namespace

bool CmdWaveplay(const CommandContext& ctx, SoundSystem& sound) {
  ctx.scene.waveName.Set(ReadNameAndSkip(ctx));
  ctx.scene.waveMode = ReadNumberArgument(ctx);
  sound.PlayWave(ctx.scene.waveName.str(), ctx.scene.waveMode);
  return true;
}

bool CmdWavestop(const CommandContext& ctx, SoundSystem& sound) {
  sound.StopWave();
  ctx.scene.waveMode = -1;
  ctx.scene.waveName.Clear();
  return true;
}

bool CmdMidiplay(const CommandContext& ctx, SoundSystem& sound) {
  ctx.scene.musicName.Set(ReadNameAndSkip(ctx));
  const int32_t flag = ReadNumberArgument(ctx);
  sound.music().LoadSong(sound.ReadSong(ctx.scene.musicName.str()));
  if (flag != 0 && flag != 1) {
    ctx.dialogs.ShowMessage(Sj("フラグが不正です。"));
    return false;
  }
  sound.music().SetLoop(flag == 1);
  sound.music().PlayFromStart();
  ctx.scene.musicMode = flag == 1 ? 2 : 1;
  return true;
}

bool CmdMidistop(const CommandContext& ctx, SoundSystem& sound) {
  ctx.scene.musicMode = 0;
  ctx.scene.musicName.Clear();
  sound.music().StopPlayback();
  return true;
}

bool CmdCdplay(const CommandContext& ctx, SoundSystem& sound) {
  ctx.scene.cdTrack = ReadNumberArgument(ctx);
  ctx.scene.cdMode = ReadNumberArgument(ctx);
  sound.PlayCdTrack(ctx.scene.cdTrack);
  return true;
}

bool CmdCdstop(const CommandContext& ctx, SoundSystem& sound) {
  sound.StopCd();
  ctx.scene.cdMode = -1;
  return true;
}

}  // namespace orv
