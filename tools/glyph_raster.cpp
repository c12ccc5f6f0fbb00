#include "tools/glyph_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

struct GlyphFont {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int outlineScale = 1;
};

GlyphFont* openGlyphFont(const char* path, int pixelSize, int outlineScale, std::string* error) {
    auto* font = new GlyphFont;
    font->outlineScale = outlineScale;
    if (FT_Init_FreeType(&font->library) != 0) {
        *error = "FreeType cannot start";
        delete font;
        return nullptr;
    }
    if (FT_New_Face(font->library, path, 0, &font->face) != 0) {
        *error = std::string("cannot load the font ") + path;
        closeGlyphFont(font);
        return nullptr;
    }
    if (FT_Set_Pixel_Sizes(font->face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        *error = "the font has no size " + std::to_string(pixelSize);
        closeGlyphFont(font);
        return nullptr;
    }
    return font;
}

void closeGlyphFont(GlyphFont* font) {
    if (!font) {
        return;
    }
    if (font->face) {
        FT_Done_Face(font->face);
    }
    if (font->library) {
        FT_Done_FreeType(font->library);
    }
    delete font;
}

// The glyph hinted at the font's pixel size, its outline then enlarged `scale` times and
// rendered: the same shapes, stems where the hinting put them, at a finer resolution.
static bool renderEnlargedGlyph(FT_Face face, unsigned char character, int scale) {
    if (FT_Load_Char(face, character, FT_LOAD_DEFAULT) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        return false;
    }
    const FT_Matrix enlarge{scale * 0x10000L, 0, 0, scale * 0x10000L};
    FT_Outline_Transform(&face->glyph->outline, &enlarge);
    face->glyph->advance.x *= scale;
    return FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
}

bool renderGlyph(GlyphFont* font, unsigned char character, GlyphBitmap* glyph) {
    const bool rendered = font->outlineScale == 1
                              ? FT_Load_Char(font->face, character, FT_LOAD_RENDER) == 0
                              : renderEnlargedGlyph(font->face, character, font->outlineScale);
    if (!rendered) {
        return false;
    }
    const FT_GlyphSlot slot = font->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.rows > 0) {
        return false;
    }
    GlyphBitmap out;
    out.width = static_cast<int>(bitmap.width);
    out.rows = static_cast<int>(bitmap.rows);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    out.coverage.resize(static_cast<std::size_t>(out.width) * out.rows);
    for (int y = 0; y < out.rows; ++y) {
        for (int x = 0; x < out.width; ++x) {
            out.coverage[static_cast<std::size_t>(y) * out.width + x] =
                bitmap.buffer[y * bitmap.pitch + x];
        }
    }
    *glyph = std::move(out);
    return true;
}
