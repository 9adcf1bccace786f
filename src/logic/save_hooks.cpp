#include "logic/save_hooks.h"

#include "logic/command_context.h"
#include "persist/variable_file.h"
#include "platform/sjis.h"
#include "platform/write_folder.h"

namespace orv {

static_assert(kStringTableBytes == kVariableFileStringTableBytes && kNumericTableBytes == kVariableFileNumericTableBytes,
              "a variable file holds the two tables as they are");

bool ReadDatalog(ScriptReader& reader, const VariableStore& vars, SceneState& scene) {
  std::string token;
  reader.SetDelimiters("\",&");
  if (reader.ReadToken(token) != '&') {
    reader.SetDelimiters("\"");
    reader.ReadToken(token);
    scene.slotComment.Set(token);
    return true;
  }
  reader.ReadToken(token);
  const int index = vars.FindString(token);
  if (index < 0) return false;
  scene.slotComment.Set(vars.strings[size_t(index)].value.str());
  return true;
}

Bytes VariableFileImage(const VariableStore& vars) {
  return EncodeVariableFile(vars.StringImage(), vars.NumericImage());
}

PloadArguments ReadPloadArguments(ScriptReader& reader) {
  PloadArguments args;
  args.fileName = reader.ReadFileNameArgument();
  std::string skipped;
  reader.SetDelimiters("&,,,!");
  reader.ReadToken(skipped);
  args.kind = reader.ReadToken(skipped);
  reader.ReadToken(args.name);
  return args;
}

PloadResult ApplyPload(const PloadArguments& args, ByteSpan file, VariableStore& vars) {
  const VariableFile saved(file);
  if (args.kind == '!') {
    const auto value = saved.FindNumeric(args.name);
    const int live = args.name.empty() ? -1 : vars.FindNumeric(args.name);
    if (!value || live < 0) return PloadResult::MissingNumeric;
    vars.numeric[size_t(live)].value = *value;
    return PloadResult::Copied;
  }
  if (args.kind == '&') {
    const auto value = saved.FindString(args.name);
    const int live = args.name.empty() ? -1 : vars.FindString(args.name);
    if (!value || live < 0) return PloadResult::MissingString;
    vars.strings[size_t(live)].value.Set(*value);
    return PloadResult::Copied;
  }
  return PloadResult::NeitherKind;
}

std::string WriteFailedMessage(std::string_view reason) {
  return Sj("ファイルを保存できませんでした：　") + Utf8ToCp932(reason);
}

bool CmdDatalog(const CommandContext& ctx) {
  if (!ReadDatalog(ctx.reader, ctx.vars, ctx.scene)) ctx.dialogs.ShowMessage(Sj("文字列変数が設定されていません。"));
  return true;
}

bool CmdPsave(const CommandContext& ctx, const WriteFolder& files) {
  const std::string name = ctx.reader.ReadFileNameArgument();
  if (Result<void> written = files.Write(name, VariableFileImage(ctx.vars)); !written)
    ctx.dialogs.ShowMessage(WriteFailedMessage(written.error().message));
  return true;
}

bool CmdPload(const CommandContext& ctx, const WriteFolder& files) {
  const PloadArguments args = ReadPloadArguments(ctx.reader);
  const auto file = files.ReadPrefix(args.fileName, kVariableFileBytes);
  if (!file) return true;
  switch (ApplyPload(args, *file, ctx.vars)) {
    case PloadResult::MissingNumeric: ctx.dialogs.ShowMessage(Sj("変数が指定されていません。")); break;
    case PloadResult::MissingString: ctx.dialogs.ShowMessage(Sj("文字列変数が存在しません。")); break;
    default: break;
  }
  return true;
}

}  // namespace orv
