#include "platform/text/font_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "platform/sjis.h"
#include "platform/text/face_names.h"
#include "platform/text/font_lookup.h"

namespace orv {
namespace {

// Where the stand-in fonts live when fontconfig does not list them (Debian's packages).
constexpr std::string_view kFontFolders[] = {
    "/usr/share/fonts/opentype/ipafont-mincho/", "/usr/share/fonts/opentype/ipafont-gothic/",
    "/usr/share/fonts/truetype/ipafont/", "/usr/share/fonts/opentype/ipafont/",
};

// A rendered glyph: coverage rows, placed relative to the pen on the baseline.
struct Glyph {
  int left = 0, top = 0, width = 0, height = 0;
  int advance = 0;  // whole pixels
  std::vector<uint8_t> coverage;
};

struct GlyphKey {
  int face = 0;
  int pixelSize = 0;
  char32_t code = 0;
  friend bool operator==(const GlyphKey&, const GlyphKey&) = default;
};
struct GlyphKeyHash {
  size_t operator()(const GlyphKey& k) const {
    return std::hash<uint64_t>()(uint64_t(k.face) << 52 ^ uint64_t(k.pixelSize) << 32 ^ k.code);
  }
};

// Glyphs are small, but a game that draws absurd sizes must not grow the cache without end.
constexpr size_t kGlyphCacheBytes = size_t(64) << 20;
// Face names a game asks for are few; the memory of them is bounded all the same.
constexpr size_t kMaxRememberedNames = 256;

std::optional<FontFile> FindSubstitute(const FaceSubstitute& substitute) {
  if (auto file = LookUpSystemFont(std::string(substitute.family), true, true)) return file;
  for (std::string_view folder : kFontFolders) {
    std::filesystem::path candidate = std::filesystem::path(folder) / substitute.fileName;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return FontFile{candidate.string(), 0};
  }
  return std::nullopt;
}

}  // namespace

struct FontRenderer::Impl {
  FT_Library library = nullptr;
  bool systemLookupReady = false;

  struct LoadedFace {
    FontFile file;
    FT_Face face = nullptr;
    int pixelSize = 0;  // the size last set on the face
  };
  std::vector<LoadedFace> faces;                // index = face id
  std::map<std::string, int> faceIdsByFile;      // "path#index" -> face id, -1 when unloadable
  std::map<std::string, int> faceIdsByName;      // Shift-JIS face name -> face id, -1 when none
  std::optional<int> fallbackFace;               // any Japanese font, for missing glyphs
  std::unordered_map<GlyphKey, Glyph, GlyphKeyHash> glyphs;
  size_t glyphBytes = 0;

  Impl() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
    systemLookupReady = StartSystemFontLookup();
  }
  ~Impl() {
    for (LoadedFace& f : faces)
      if (f.face) FT_Done_Face(f.face);
    if (library) FT_Done_FreeType(library);
  }

  int LoadFile(const FontFile& file) {
    const std::string key = file.path + "#" + std::to_string(file.index);
    if (auto it = faceIdsByFile.find(key); it != faceIdsByFile.end()) return it->second;
    int id = -1;
    FT_Face face = nullptr;
    if (library && FT_New_Face(library, file.path.c_str(), file.index, &face) == 0) {
      if (FT_IS_SCALABLE(face) && face->units_per_EM > 0) {
        id = int(faces.size());
        faces.push_back({file, face, 0});
      } else {
        FT_Done_Face(face);
      }
    }
    faceIdsByFile[key] = id;
    return id;
  }

  int FallbackFace() {
    if (!fallbackFace) {
      int id = -1;
      if (auto gothic = SubstituteFace("MS Gothic"); gothic)
        if (auto file = FindSubstitute(*gothic)) id = LoadFile(*file);
      if (id < 0 && systemLookupReady)
        if (auto file = LookUpSystemFont("sans-serif", true, false)) id = LoadFile(*file);
      fallbackFace = id;
    }
    return *fallbackFace;
  }

  // The face id for a game's face name: our table first, then fontconfig, then any font.
  int FaceFor(std::string_view sjisFace) {
    const std::string name(sjisFace);
    if (auto it = faceIdsByName.find(name); it != faceIdsByName.end()) return it->second;
    int id = -1;
    if (auto substitute = SubstituteFace(sjisFace)) {
      if (auto file = FindSubstitute(*substitute)) id = LoadFile(*file);
    } else if (systemLookupReady) {
      if (auto file = LookUpSystemFont(Cp932ToUtf8(sjisFace), true, false)) id = LoadFile(*file);
    }
    if (id < 0) id = FallbackFace();
    if (faceIdsByName.size() >= kMaxRememberedNames) faceIdsByName.clear();
    faceIdsByName[name] = id;
    return id;
  }

  bool SetSize(int id, int pixelSize) {
    LoadedFace& f = faces[size_t(id)];
    if (f.pixelSize == pixelSize) return true;
    if (FT_Set_Pixel_Sizes(f.face, 0, FT_UInt(pixelSize)) != 0) return false;
    f.pixelSize = pixelSize;
    return true;
  }

  // Ascent and descent in whole pixels, from the design metrics so that the cell of the
  // stand-in fonts is exactly the em, as the Windows faces' cells are.
  void CellMetrics(int id, int pixelSize, int& ascent, int& descent) {
    const FT_Face face = faces[size_t(id)].face;
    const double scale = double(pixelSize) / face->units_per_EM;
    ascent = int(std::lround(face->ascender * scale));
    descent = int(std::lround(-face->descender * scale));
    if (ascent <= 0) ascent = pixelSize;
    descent = std::max(descent, 0);
  }

  // The face that has a glyph for the code: the chosen face, else the fallback.
  int FaceWithGlyph(int id, char32_t code) {
    if (FT_Get_Char_Index(faces[size_t(id)].face, code) != 0) return id;
    const int fallback = FallbackFace();
    if (fallback >= 0 && fallback != id && FT_Get_Char_Index(faces[size_t(fallback)].face, code) != 0) return fallback;
    return id;
  }

  const Glyph& GlyphFor(int id, int pixelSize, char32_t code) {
    static const Glyph kNothing;
    if (code < 0x20 || code == 0x7F) return kNothing;  // control characters draw nothing
    id = FaceWithGlyph(id, code);
    const GlyphKey key{id, pixelSize, code};
    if (auto it = glyphs.find(key); it != glyphs.end()) return it->second;
    if (glyphBytes > kGlyphCacheBytes) {
      glyphs.clear();
      glyphBytes = 0;
    }
    Glyph glyph = Render(id, pixelSize, code);
    glyphBytes += glyph.coverage.size() + sizeof(Glyph);
    return glyphs.emplace(key, std::move(glyph)).first->second;
  }

  Glyph Render(int id, int pixelSize, char32_t code) {
    Glyph glyph;
    if (!SetSize(id, pixelSize)) return glyph;
    FT_Face face = faces[size_t(id)].face;
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return glyph;
    glyph.advance = int((face->glyph->advance.x + 32) >> 6);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return glyph;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return glyph;
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.width = int(bitmap.width);
    glyph.height = int(bitmap.rows);
    glyph.coverage.resize(size_t(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
      const unsigned char* src = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
      uint8_t* dst = glyph.coverage.data() + size_t(y) * glyph.width;
      for (int x = 0; x < glyph.width; ++x) {
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
          dst[x] = uint8_t(bitmap.num_grays == 256 ? src[x] : src[x] * 255 / std::max(1, bitmap.num_grays - 1));
        } else {
          dst[x] = (src[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
        }
      }
    }
    return glyph;
  }

  // What Layout plots with when only the advance is wanted: the glyphs' pixels are not walked.
  struct MeasureOnly {};

  // Walks the text glyph by glyph; plot(x, y, coverage, count) receives every row of a glyph:
  // `count` coverage bytes for the pixels from (x, y) rightwards.
  template <typename Plot>
  int Layout(int x, int y, std::u32string_view text, const FontSpec& font, Plot&& plot) {
    const int pixelSize = PixelSize(font.size);
    if (pixelSize <= 0) return 0;
    const int id = FaceFor(font.face);
    if (id < 0) return 0;
    int ascent = 0, descent = 0;
    CellMetrics(id, pixelSize, ascent, descent);
    const int baseline = y + ascent;
    int pen = x;
    for (char32_t code : text) {
      const Glyph& glyph = GlyphFor(id, pixelSize, code);
      if constexpr (!std::is_same_v<std::decay_t<Plot>, MeasureOnly>) {
        const int left = pen + glyph.left, top = baseline - glyph.top;
        for (int gy = 0; gy < glyph.height; ++gy)
          plot(left, top + gy, glyph.coverage.data() + size_t(gy) * glyph.width, glyph.width);
      }
      pen += glyph.advance;
    }
    return pen - x;
  }

  // Points at 96 pixels per inch, rounded as the form library rounds them; 0 for sizes that
  // draw nothing.
  static int PixelSize(int points) {
    if (points <= 0) return 0;
    points = std::min(points, FontRenderer::kMaxPointSize);
    return (points * 96 + 36) / 72;
  }
};

FontRenderer::FontRenderer() : impl_(std::make_unique<Impl>()) {}
FontRenderer::~FontRenderer() = default;

int FontRenderer::Draw(Image& target, int x, int y, std::string_view sjis, const FontSpec& font) {
  return DrawUnicode(target, x, y, DecodeCp932(sjis), font);
}

int FontRenderer::Draw(TextLayer& target, int x, int y, std::string_view sjis, const FontSpec& font) {
  return impl_->Layout(x, y, DecodeCp932(sjis), font, [&](int px, int py, const uint8_t* coverage, int count) {
    target.PlotRun(px, py, font.color, coverage, count);
  });
}

int FontRenderer::DrawUnicode(Image& target, int x, int y, std::u32string_view text, const FontSpec& font) {
  return impl_->Layout(x, y, text, font, [&](int px, int py, const uint8_t* coverage, int count) {
    BlendRun(target, px, py, font.color, coverage, count);
  });
}

int FontRenderer::Measure(std::string_view sjis, const FontSpec& font) {
  return MeasureUnicode(DecodeCp932(sjis), font);
}

int FontRenderer::MeasureUnicode(std::u32string_view text, const FontSpec& font) {
  return impl_->Layout(0, 0, text, font, Impl::MeasureOnly{});
}

int FontRenderer::CellHeight(const FontSpec& font) {
  const int pixelSize = Impl::PixelSize(font.size);
  if (pixelSize <= 0) return 0;
  const int id = impl_->FaceFor(font.face);
  if (id < 0) return 0;
  int ascent = 0, descent = 0;
  impl_->CellMetrics(id, pixelSize, ascent, descent);
  return ascent + descent;
}

std::string FontRenderer::ResolveFaceFile(std::string_view sjisFace) {
  const int id = impl_->FaceFor(sjisFace);
  return id < 0 ? std::string() : impl_->faces[size_t(id)].file.path;
}

}  // namespace orv
