// The command table's handlers, each bound with the parts it works on.
#include "app/player.h"
#include "graphics/history_commands.h"
#include "graphics/stage_commands.h"
#include "logic/inline_forms.h"
#include "logic/logic_commands.h"
#include "logic/save_hooks.h"
#include "platform/sjis.h"
#include "sound/sound_commands.h"

namespace orv {

namespace {

// TITLE: names the window after the story, followed by the kit's version.
bool CmdTitle(const CommandContext& ctx) {
  std::string skipped, title;
  ctx.reader.SetDelimiters("\",&");
  ctx.reader.ReadToken(skipped);
  ctx.reader.SetDelimiters("\"");
  ctx.reader.ReadToken(title);
  ctx.scene.windowCaption.Set(title + Sj("　【") + std::string(kVersionCaption) + Sj("】"));
  ctx.player.SetCaption(ctx.scene.windowCaption.str());
  return true;
}

}  // namespace

void Player::BindCommands() {
  CommandTable& table = interpreter_.commands();
  table.FillCommandTable();
  table.BindInlineForms([this](char form) { return orv::RunInlineForm(context_, form); });
  auto story = [this](bool (*handler)(const CommandContext&)) { return [this, handler] { return handler(context_); }; };
  auto onStage = [this](bool (*handler)(const CommandContext&, Stage&)) {
    return [this, handler] { return handler(context_, stage_); };
  };
  auto withSound = [this](bool (*handler)(const CommandContext&, SoundSystem&)) {
    return [this, handler] { return handler(context_, sound_); };
  };
  auto withFiles = [this](bool (*handler)(const CommandContext&, const WriteFolder&)) {
    return [this, handler] { return handler(context_, writeFolder_); };
  };

  table.Bind("FONTCOLOR", onStage(CmdFontColor));
  table.Bind("FONTSIZE", onStage(CmdFontSize));
  table.Bind("LOADBG", onStage(CmdLoadbg));
  table.Bind("TITLE", story(CmdTitle));
  table.Bind("FADEOUT", onStage(CmdFadeout));
  table.Bind("BOXCOL", onStage(CmdBoxCol));
  table.Bind("LOADCHAR", onStage(CmdLoadchar));
  table.Bind("CHARPOS", onStage(CmdCharpos));
  table.Bind("CHARCLR", onStage(CmdCharclr));
  table.Bind("TTXTSPR", story(CmdTtxtspr));
  table.Bind("WAVEPLAY", withSound(CmdWaveplay));
  table.Bind("WAVESTOP", withSound(CmdWavestop));
  table.Bind("MATH", story(CmdMath));
  table.Bind("IF", story(CmdIf));
  table.Bind("MIDIPLAY", withSound(CmdMidiplay));
  table.Bind("MIDISTOP", withSound(CmdMidistop));
  table.Bind("RUN", story(CmdRun));
  table.Bind("RANDOM", story(CmdRandom));
  table.Bind("WAIT", story(CmdWait));
  table.Bind("INPUTBOX", story(CmdInputbox));
  table.Bind("STRCAT", story(CmdStrcat));
  table.Bind("STRCMP", story(CmdStrcmp));
  table.Bind("BOXSIZE", onStage(CmdBoxSize));
  table.Bind("TXTSPR", onStage(CmdTxtSpr));
  table.Bind("TXTPOS", onStage(CmdTxtPos));
  table.Bind("SELECT", [this] { return OfferChoice(false); });
  table.Bind("TMODE", story(CmdTmode));
  table.Bind("DATALOG", story(CmdDatalog));
  table.Bind("GOTO", story(CmdGoto));
  table.Bind("SELECTCG", [this] { return OfferChoice(true); });
  table.Bind("NVMODE", story(CmdNvmode));
  table.Bind("SETSPEED", story(CmdSetspeed));
  table.Bind("SIN", story(CmdSin));
  table.Bind("COS", story(CmdCos));
  table.Bind("STRLEN", story(CmdStrlen));
  table.Bind("EXIT", story(CmdExit));
  table.Bind("ONLOAD", [this] { return EnableMenuCommand("Load"); });
  table.Bind("ONSAVE", [this] { return EnableMenuCommand("Save"); });
  table.Bind("PSAVE", withFiles(CmdPsave));
  table.Bind("PLOAD", withFiles(CmdPload));
  table.Bind("DEBUG", story(CmdDebug));
  table.Bind("CDPLAY", withSound(CmdCdplay));
  table.Bind("CDSTOP", withSound(CmdCdstop));
  table.Bind("INTTOSTR", story(CmdInttostr));
  table.Bind("STRTOINT", story(CmdStrtoint));
  table.Bind("CHARMODE", onStage(CmdCharmode));
  table.Bind("SAVEPOINT", [this] { return SavepointCommand(); });
  table.Bind("FONTNAME", onStage(CmdFontName));
  table.Bind("FLASH", onStage(CmdFlash));
  table.Bind("TFONTNAME", story(CmdTfontname));
  table.Bind("TFONTSIZE", story(CmdTfontsize));
  table.Bind("TBOXSIZE", story(CmdTboxsize));
  table.Bind("TFONTCOLOR", story(CmdTfontcolor));
  table.Bind("TTXTPOS", story(CmdTtxtpos));
  table.Bind("SETCURSOR", story(CmdSetcursor));
  table.Bind("TSCREENMODE", story(CmdTscreenmode));
  table.Bind("TSCREENCG", story(CmdTscreencg));
  table.Bind("TSCREENCOLOR", story(CmdTscreencolor));
}

}  // namespace orv
