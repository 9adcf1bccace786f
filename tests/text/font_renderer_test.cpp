#include "platform/text/font_renderer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sjis.h"
#include "platform/text/face_names.h"
#include "support/test_support.h"

namespace orv {
namespace {

using test::Sjis;

const std::string kMincho = Sjis("ＭＳ 明朝");
const std::string kGothic = Sjis("ＭＳ ゴシック");

TEST(FaceNames, WindowsNamesMapToTheirStandIns) {
  struct Case {
    std::string face;
    std::string_view family;
  };
  const Case cases[] = {
      {Sjis("ＭＳ 明朝"), "IPAMincho"},     {Sjis("ＭＳ　明朝"), "IPAMincho"},
      {Sjis("ＭＳ明朝"), "IPAMincho"},      {"MS Mincho", "IPAMincho"},
      {"ms mincho", "IPAMincho"},           {Sjis("ＭＳ ゴシック"), "IPAGothic"},
      {"MS Gothic", "IPAGothic"},           {Sjis("ＭＳ Ｐ明朝"), "IPAPMincho"},
      {"MS PMincho", "IPAPMincho"},         {Sjis("ＭＳ Ｐゴシック"), "IPAPGothic"},
      {Sjis("ＭＳ　Ｐゴシック"), "IPAPGothic"}, {"MS PGothic", "IPAPGothic"},
      {"", "IPAMincho"},
  };
  for (const Case& c : cases) {
    auto substitute = SubstituteFace(c.face);
    ASSERT_TRUE(substitute.has_value()) << Cp932ToUtf8(c.face);
    EXPECT_EQ(substitute->family, c.family) << Cp932ToUtf8(c.face);
  }
  EXPECT_FALSE(SubstituteFace("DejaVu Sans").has_value());
  EXPECT_FALSE(SubstituteFace(Sjis("ＭＳ 明朝体")).has_value());
}

TEST(FaceNames, ResolveToTheInstalledFiles) {
  FontRenderer fonts;
  EXPECT_EQ(std::filesystem::path(fonts.ResolveFaceFile(kMincho)).filename(), "ipam.ttf");
  EXPECT_EQ(std::filesystem::path(fonts.ResolveFaceFile("MS Gothic")).filename(), "ipag.ttf");
  EXPECT_EQ(std::filesystem::path(fonts.ResolveFaceFile(Sjis("ＭＳ Ｐ明朝"))).filename(), "ipamp.ttf");
  EXPECT_EQ(std::filesystem::path(fonts.ResolveFaceFile(Sjis("ＭＳ Ｐゴシック"))).filename(), "ipagp.ttf");
  EXPECT_EQ(std::filesystem::path(fonts.ResolveFaceFile("")).filename(), "ipam.ttf");
  // Other names go through fontconfig; a name nobody knows still finds some font.
  EXPECT_FALSE(fonts.ResolveFaceFile("No Such Face 12345").empty());
}

// The bounding box of covered pixels, or an empty rect.
Rect InkBounds(const Image& image, Rgb background) {
  Rect r{image.width(), image.height(), 0, 0};
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.Pixel(x, y) != background) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r.Empty() ? Rect{} : r;
}

TEST(FontRenderer, SizeTwelveIsASixteenPixelCell) {
  FontRenderer fonts;
  const FontSpec font{kMincho, 12, Rgb{255, 255, 255}};
  EXPECT_EQ(fonts.CellHeight(font), 16);
  EXPECT_EQ(fonts.Measure(Sjis("あ"), font), 16);
  EXPECT_EQ(fonts.Measure("A", font), 8);
  EXPECT_EQ(fonts.CellHeight(FontSpec{kMincho, 9, {}}), 12);
  EXPECT_EQ(fonts.CellHeight(FontSpec{kGothic, 24, {}}), 32);

  // A full-width character's ink stays inside the cell whose top-left is (x, y).
  Image image(64, 64);
  fonts.Draw(image, 10, 20, Sjis("国"), font);
  const Rect ink = InkBounds(image, Rgb{});
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 20);
  EXPECT_LE(ink.right, 26);
  EXPECT_LE(ink.bottom, 36);
  EXPECT_GT(ink.Height(), 10);  // a real glyph, not a speck
}

// The characters of a Shift-JIS text, one string each.
std::vector<std::string> SjisCharacters(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t len = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) ? 2 : 1;
    out.push_back(text.substr(i, len));
    i += len;
  }
  return out;
}

TEST(FontRenderer, TypingCharacterByCharacterGivesTheSamePixelsAsDrawingAtOnce) {
  FontRenderer fonts;
  const std::string text = Sjis("今日は、ｶﾀｶﾅとABCの混ざった文ですyg.");
  const Rgb background{10, 20, 90};
  for (const std::string& face : {kMincho, kGothic, Sjis("ＭＳ Ｐゴシック")}) {
    for (int size : {9, 12, 14, 20}) {
      SCOPED_TRACE(Cp932ToUtf8(face) + " size " + std::to_string(size));
      const FontSpec font{face, size, Rgb{250, 240, 10}};
      Image whole(640, 60), typed(640, 60);
      whole.Fill(background);
      typed.Fill(background);
      TextLayer wholeLayer(640, 60), typedLayer(640, 60);
      const int advance = fonts.Draw(whole, 5, 7, text, font);
      EXPECT_EQ(advance, fonts.Measure(text, font));
      EXPECT_EQ(fonts.Draw(wholeLayer, 5, 7, text, font), advance);

      int x = 5;
      for (const std::string& character : SjisCharacters(text)) {
        const int width = fonts.Measure(character, font);
        EXPECT_EQ(fonts.Draw(typed, x, 7, character, font), width);
        fonts.Draw(typedLayer, x, 7, character, font);
        x += width;
      }
      EXPECT_EQ(x - 5, advance);
      EXPECT_TRUE(whole == typed);
      int layerMismatches = 0, inkMismatches = 0;
      for (int y = 0; y < 60; ++y)
        for (int px = 0; px < 640; ++px) {
          layerMismatches += wholeLayer.CoverageAt(px, y) != typedLayer.CoverageAt(px, y);
          inkMismatches += (wholeLayer.CoverageAt(px, y) != 0) != (whole.Pixel(px, y) != background);
        }
      EXPECT_EQ(layerMismatches, 0);
      EXPECT_EQ(inkMismatches, 0);
    }
  }
}

TEST(FontRenderer, TextLayerKeepsCoverage) {
  FontRenderer fonts;
  TextLayer layer(100, 40);
  const FontSpec font{kGothic, 12, Rgb{255, 0, 0}};
  EXPECT_FALSE(layer.AnyCoverage());
  fonts.Draw(layer, 2, 2, Sjis("あい"), font);
  ASSERT_TRUE(layer.AnyCoverage());
  // Antialiased: some pixels are partly covered, some fully.
  bool partial = false, full = false;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) {
      const uint8_t c = layer.CoverageAt(x, y);
      partial |= c > 0 && c < 255;
      full |= c == 255;
    }
  EXPECT_TRUE(partial);
  EXPECT_TRUE(full);
  // Composited over any background, the text's colour shows where coverage is full.
  Image back(100, 40);
  back.Fill(Rgb{0, 0, 255});
  layer.DrawOver(back);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x)
      if (layer.CoverageAt(x, y) == 255) {
        EXPECT_EQ(back.Pixel(x, y), (Rgb{255, 0, 0}));
      }
}

TEST(FontRenderer, DecodesShiftJisWithHalfWidthKatakana) {
  FontRenderer fonts;
  const FontSpec font{kGothic, 12, Rgb{255, 255, 255}};
  // ｱｲｳ as single Shift-JIS bytes: three half-width characters, 8 pixels each.
  EXPECT_EQ(fonts.Measure("\xB1\xB2\xB3", font), 24);
  EXPECT_EQ(fonts.Measure("\x82\xA0", font), 16);  // あ
  EXPECT_EQ(fonts.Measure("\xB1\x82\xA0" "A", font), 8 + 16 + 8);
  Image image(40, 20);
  fonts.Draw(image, 0, 0, "\xB1", font);
  const Rect ink = InkBounds(image, Rgb{});
  ASSERT_FALSE(ink.Empty());
  EXPECT_LE(ink.right, 8);
}

TEST(FontRenderer, OddInputsDrawSafely) {
  FontRenderer fonts;
  Image image(32, 32);
  for (int size : {0, -5, -100000}) {
    EXPECT_EQ(fonts.Draw(image, 0, 0, Sjis("あ"), FontSpec{kMincho, size, {}}), 0);
    EXPECT_EQ(fonts.CellHeight(FontSpec{kMincho, size, {}}), 0);
  }
  EXPECT_TRUE(image == Image(32, 32));
  // Absurd sizes are clamped, drawing far outside the target is clipped.
  const FontSpec huge{kMincho, 1 << 30, Rgb{255, 255, 255}};
  EXPECT_EQ(fonts.CellHeight(huge), fonts.CellHeight(FontSpec{kMincho, FontRenderer::kMaxPointSize, {}}));
  EXPECT_GT(fonts.Draw(image, -300, -300, Sjis("あ"), huge), 0);
  EXPECT_GT(fonts.Draw(image, 1 << 29, -(1 << 29), "A", FontSpec{kMincho, 12, {}}), 0);
  // A lone lead byte, a bad trail byte and control characters do not crash or advance oddly.
  EXPECT_GE(fonts.Measure("\x82", FontSpec{kMincho, 12, {}}), 0);
  EXPECT_EQ(fonts.Measure("\r\n\t", FontSpec{kMincho, 12, {}}), 0);
  TextLayer layer(8, 8);
  fonts.Draw(layer, 4, 4, Sjis("漢字"), FontSpec{kGothic, 12, {}});
}

}  // namespace
}  // namespace orv
