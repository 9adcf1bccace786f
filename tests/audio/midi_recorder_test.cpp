#include "platform/audio/midi_recorder.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace orv {
namespace {

TEST(MidiRecorder, WritesOneLinePerOperationWithTheClock) {
  test::TempDir dir;
  uint32_t now = 7;
  auto recorder = MidiRecorder::ToFile(dir.path() / "midi.log", [&] { return now; });
  ASSERT_TRUE(recorder);
  EXPECT_TRUE(recorder->Open());
  now = 1250;
  recorder->ShortMessage(0x90, 0x3C, 0x64);
  recorder->ShortMessage(0xC3, 0x05, 0x77);  // one data byte: the second shows as 00
  recorder->ShortMessage(0xD0, 0x40, 0x01);
  recorder->LongMessage(Bytes{0xF0, 0x43, 0x10, 0x4C, 0xF7});
  recorder->Reset();
  recorder->Close();
  EXPECT_EQ(dir.Read("midi.log"),
            "7 open\n1250 90 3c 64\n1250 c3 05 00\n1250 d0 40 00\n1250 f0 43 10 4c f7\n1250 reset\n1250 close\n");
  EXPECT_FALSE(MidiRecorder::ToFile(dir.path() / "missing" / "midi.log", [] { return 0u; }));
}

}  // namespace
}  // namespace orv
