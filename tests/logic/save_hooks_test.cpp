// DATALOG, PLOAD and PSAVE over the reader and the variable tables.
#include <gtest/gtest.h>

#include "logic/save_hooks.h"
#include "support/test_support.h"

namespace orv {
namespace {
using test::Sjis;

// Runs DATALOG on the arguments of a command line (what follows the keyword).
bool Datalog(std::string_view arguments, const VariableStore& vars, SceneState& scene) {
  ScriptReader reader;
  reader.SetSource(arguments);
  return ReadDatalog(reader, vars, scene);
}

TEST(Datalog, TakesAQuotedTextOrAStringVariable) {
  VariableStore vars;
  vars.strings[2].name.Set("place");
  vars.strings[2].value.Set(Sjis("森の　奥"));
  SceneState scene;

  EXPECT_TRUE(Datalog(Sjis("\"第 一\t章　前\""), vars, scene));
  EXPECT_EQ(scene.slotComment.str(), Sjis("第一章　前"));  // half-width blanks and tabs dropped
  EXPECT_TRUE(Datalog("&place", vars, scene));
  EXPECT_EQ(scene.slotComment.str(), Sjis("森の　奥"));

  EXPECT_FALSE(Datalog("&nowhere", vars, scene));
  EXPECT_EQ(scene.slotComment.str(), Sjis("森の　奥"));

  EXPECT_TRUE(Datalog("", vars, scene));  // neither a quote nor "&": the comment is emptied
  EXPECT_TRUE(scene.slotComment.empty());

  // Longer than its 80 bytes: cut before the character that would not fit whole, and the
  // field after it untouched.
  scene.numericCount = 0x01020304;
  std::string text = "x";
  for (int i = 0; i < 60; ++i) text += Sjis("長");
  EXPECT_TRUE(Datalog("\"" + text + "\"", vars, scene));
  EXPECT_EQ(scene.slotComment.str(), text.substr(0, 79));
  EXPECT_EQ(scene.numericCount, 0x01020304);
}

Bytes SavedTables(const VariableStore& vars) { return VariableFileImage(vars); }

PloadResult Pload(std::string_view arguments, ByteSpan file, VariableStore& vars) {
  ScriptReader reader;
  reader.SetSource(arguments);
  return ApplyPload(ReadPloadArguments(reader), file, vars);
}

TEST(Pload, CopiesOneVariableByNameFromAVariableFile) {
  VariableStore saved;
  saved.numeric[4].name.Set("ending");
  saved.numeric[4].value = 3;
  saved.numeric[5].name.Set("other");
  saved.numeric[5].value = 8;
  saved.strings[1].name.Set("hero");
  saved.strings[1].value.Set(std::string(254, 'h'));
  const Bytes file = SavedTables(saved);
  ASSERT_EQ(file.size(), 17144u);

  VariableStore live;
  live.numeric[0].name.Set("other");
  live.numeric[9].name.Set("ending");
  live.strings[0].name.Set("hero");
  EXPECT_EQ(Pload("\"flags.dat\", !ending", file, live), PloadResult::Copied);
  EXPECT_EQ(live.numeric[9].value, 3);
  EXPECT_EQ(live.numeric[0].value, 0);  // only the one variable
  EXPECT_EQ(Pload("\"flags.dat\",&hero", file, live), PloadResult::Copied);
  EXPECT_EQ(live.strings[0].value.str(), std::string(254, 'h'));

  // Missing on either side: the message's case, the live table unchanged.
  EXPECT_EQ(Pload("\"flags.dat\",!nothing", file, live), PloadResult::MissingNumeric);
  live.numeric[9].name.Set("renamed");
  EXPECT_EQ(Pload("\"flags.dat\",!ending", file, live), PloadResult::MissingNumeric);
  EXPECT_EQ(Pload("\"flags.dat\",&ending", file, live), PloadResult::MissingString);
  EXPECT_EQ(Pload("\"flags.dat\",!", file, live), PloadResult::MissingNumeric);
  EXPECT_EQ(Pload("\"flags.dat\",ending", file, live), PloadResult::NeitherKind);
  EXPECT_EQ(live.numeric[9].value, 3);
  for (int i = 0; i < kNumericVariables; ++i)
    if (i != 9) {
      EXPECT_EQ(live.numeric[size_t(i)].value, 0) << i;
    }

  // A file cut short before the numeric table holds no numbers.
  live.numeric[9].name.Set("ending");
  EXPECT_EQ(Pload("\"f\",!ending", ByteSpan(file.data(), 11000), live), PloadResult::MissingNumeric);
}

TEST(Pload, ReadsItsArgumentsAsTheKitWritesThem) {
  ScriptReader reader;
  reader.SetSource(" \"save\\flags.dat\" , & name ");
  const PloadArguments args = ReadPloadArguments(reader);
  EXPECT_EQ(args.fileName, "save\\flags.dat");
  EXPECT_EQ(args.kind, '&');
  EXPECT_EQ(args.name, "name");
}

}  // namespace
}  // namespace orv
