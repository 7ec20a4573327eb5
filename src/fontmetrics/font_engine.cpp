#include "fontmetrics/font_engine.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// fontconfig's configuration is built once per process (scanning the font
// folders is the slow part) and only read afterwards.
FcConfig *sharedConfig()
{
    static std::once_flag once;
    static FcConfig *config = nullptr;
    std::call_once(once, [] {
        config = FcInitLoadConfigAndFonts();
        for (const QString &folder : ExtraFontFolders()) {
            const QByteArray path = QFile::encodeName(folder);
            FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8 *>(path.constData()));
        }
    });
    return config;
}

struct FaceFile {
    QString file;
    int index = 0;
    QString family;
};

// The faces of the extra folders by family and boldness ("tahoma|1"),
// TrueType before bitmap files. Read with FreeType, since fontconfig's
// configuration may refuse bitmap faces such as MS Sans Serif.
QHash<QString, FaceFile> scanExtraFolders(FT_Library library)
{
    QHash<QString, FaceFile> faces;
    for (const QString &folder : ExtraFontFolders()) {
        QStringList names = QDir(folder).entryList({QStringLiteral("*.ttf"), QStringLiteral("*.fon")}, QDir::Files);
        std::stable_sort(names.begin(), names.end(),
                         [](const QString &a, const QString &b) { return a.endsWith(u".ttf") && !b.endsWith(u".ttf"); });
        for (const QString &name : names) {
            const QString path = folder + u'/' + name;
            FT_Face face = nullptr;
            if (FT_New_Face(library, QFile::encodeName(path).constData(), 0, &face) != 0)
                continue;
            if (face->family_name) {
                const QString family = QString::fromLatin1(face->family_name);
                const bool bold = face->style_flags & FT_STYLE_FLAG_BOLD;
                const QString key = family.toLower() + (bold ? QStringLiteral("|1") : QStringLiteral("|0"));
                if (!faces.contains(key))
                    faces.insert(key, {path, 0, family});
            }
            FT_Done_Face(face);
        }
    }
    return faces;
}

struct Library {
    FT_Library library = nullptr;
    Library() { FT_Init_FreeType(&library); }
    ~Library() { FT_Done_FreeType(library); }
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;
};

// The strike of a bitmap face (MS Sans Serif) drawn for an em size of
// pixelSize: a strike's em is its height less the internal leading, which is
// its ascent; the largest strike whose em is not above the request, or the
// smallest when all are (9-point MS Sans Serif is drawn as 8-point).
int strikeFor(FT_Face face, int pixelSize)
{
    int best = -1, bestEm = 0, smallest = 0, smallestEm = 0;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        if (FT_Select_Size(face, i) != 0)
            continue;
        const int em = int((face->size->metrics.ascender + 32) >> 6);
        if (em <= pixelSize && (best < 0 || em > bestEm)) {
            best = i;
            bestEm = em;
        }
        if (i == 0 || em < smallestEm) {
            smallest = i;
            smallestEm = em;
        }
    }
    return best >= 0 ? best : smallest;
}

class EngineFont : public MeasuringFont {
public:
    EngineFont(std::shared_ptr<Library> library, FT_Face face, int pixelSize, QString used, bool substituted)
        : m_library(std::move(library)), m_face(face), m_used(std::move(used)), m_substituted(substituted)
    {
        if (FT_IS_SCALABLE(m_face) || m_face->num_fixed_sizes == 0)
            FT_Set_Pixel_Sizes(m_face, 0, FT_UInt(pixelSize));
        else
            FT_Select_Size(m_face, strikeFor(m_face, pixelSize));
        m_font = hb_ft_font_create_referenced(m_face);
        // Outlines hinted at the pixel size give the platform's whole-pixel
        // advances; the bitmap strikes some outline faces carry for small
        // sizes (Wine's Tahoma has eight) advance differently, and the
        // platform measures outline faces by their outlines.
        hb_ft_font_set_load_flags(m_font, FT_IS_SCALABLE(m_face) ? FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP : FT_LOAD_DEFAULT);
        m_buffer = hb_buffer_create();
        // The platform's line metrics: the OS/2 table's Windows ascent and
        // descent scaled to the pixel size, each rounded.
        const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
        if (FT_IS_SCALABLE(m_face) && os2 && m_face->units_per_EM > 0 && (os2->usWinAscent + os2->usWinDescent) > 0) {
            const double scale = double(pixelSize) / m_face->units_per_EM;
            m_ascent = int(std::lround(os2->usWinAscent * scale));
            m_height = m_ascent + int(std::lround(os2->usWinDescent * scale));
        } else {
            m_ascent = int((m_face->size->metrics.ascender + 63) >> 6);
            m_height = int((m_face->size->metrics.ascender - m_face->size->metrics.descender + 63) >> 6);
        }
    }
    ~EngineFont() override
    {
        hb_buffer_destroy(m_buffer);
        hb_font_destroy(m_font);  // releases the face
    }

    int height() const override { return m_height; }
    int ascent() const override { return m_ascent; }
    QString usedFace() const override { return m_used; }
    bool substituted() const override { return m_substituted; }

    int textWidth(QStringView text) const override
    {
        if (text.isEmpty())
            return 0;
        shape(text);
        unsigned count = 0;
        const hb_glyph_position_t *positions = hb_buffer_get_glyph_positions(m_buffer, &count);
        long width = 0;
        for (unsigned i = 0; i < count; ++i)
            width += positions[i].x_advance;
        return int((width + 32) >> 6);  // 26.6 fixed point
    }

    // The glyphs at the positions HarfBuzz gives, so that what is drawn is
    // as wide as what was measured; each glyph rendered once per font.
    void drawText(RasterImage &image, int x, int y, QStringView text, Argb color, const QRect &clip) const override
    {
        if (text.isEmpty())
            return;
        shape(text);
        unsigned count = 0;
        const hb_glyph_info_t *infos = hb_buffer_get_glyph_infos(m_buffer, &count);
        const hb_glyph_position_t *positions = hb_buffer_get_glyph_positions(m_buffer, &count);
        const int baseline = y + m_ascent;
        long pen = 0;
        for (unsigned i = 0; i < count; ++i) {
            const Glyph &glyph = glyphOf(infos[i].codepoint);
            const int originX = x + int((pen + positions[i].x_offset + 32) >> 6);
            const int originY = baseline - int((positions[i].y_offset + 32) >> 6);
            if (!glyph.coverage.empty())
                image.blendCoverage(originX + glyph.left, originY - glyph.top, glyph.coverage.data(), glyph.width,
                                    glyph.height, glyph.width, color, clip);
            pen += positions[i].x_advance;
        }
    }

private:
    struct Glyph {
        int left = 0, top = 0, width = 0, height = 0;
        std::vector<std::uint8_t> coverage;  // width bytes a row
    };

    void shape(QStringView text) const
    {
        hb_buffer_clear_contents(m_buffer);
        hb_buffer_add_utf16(m_buffer, reinterpret_cast<const uint16_t *>(text.utf16()), int(text.size()), 0,
                            int(text.size()));
        hb_buffer_guess_segment_properties(m_buffer);
        // Dialog text is drawn without kerning or ligatures.
        static const hb_feature_t features[] = {{HB_TAG('k', 'e', 'r', 'n'), 0, 0, unsigned(-1)},
                                                {HB_TAG('l', 'i', 'g', 'a'), 0, 0, unsigned(-1)},
                                                {HB_TAG('c', 'l', 'i', 'g'), 0, 0, unsigned(-1)}};
        hb_shape(m_font, m_buffer, features, 3);
    }

    const Glyph &glyphOf(unsigned index) const
    {
        auto found = m_glyphs.find(index);
        if (found != m_glyphs.end())
            return found->second;
        Glyph glyph;
        // As measured: an outline face by its hinted outlines, never the
        // bitmap strikes it may carry.
        const FT_Int32 flags = FT_LOAD_DEFAULT | FT_LOAD_RENDER | (FT_IS_SCALABLE(m_face) ? FT_LOAD_NO_BITMAP : 0);
        if (FT_Load_Glyph(m_face, index, flags) == 0) {
            const FT_GlyphSlot slot = m_face->glyph;
            const FT_Bitmap &bitmap = slot->bitmap;
            glyph.left = slot->bitmap_left;
            glyph.top = slot->bitmap_top;
            glyph.width = int(bitmap.width);
            glyph.height = int(bitmap.rows);
            glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.height));
            for (int row = 0; row < glyph.height; ++row) {
                const unsigned char *source = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
                std::uint8_t *target = glyph.coverage.data() + size_t(row) * size_t(glyph.width);
                for (int column = 0; column < glyph.width; ++column) {
                    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                        target[column] = (source[column >> 3] & (0x80 >> (column & 7))) ? 255 : 0;
                    else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                        target[column] = std::uint8_t(bitmap.num_grays == 256 ? source[column]
                                                      : source[column] * 255 / std::max(1, bitmap.num_grays - 1));
                }
            }
        }
        return m_glyphs.emplace(index, std::move(glyph)).first->second;
    }

    std::shared_ptr<Library> m_library;
    FT_Face m_face;
    hb_font_t *m_font = nullptr;
    hb_buffer_t *m_buffer = nullptr;
    int m_height = 0, m_ascent = 0;
    mutable std::unordered_map<unsigned, Glyph> m_glyphs;
    QString m_used;
    bool m_substituted;
};

class EngineMeasurer : public TextMeasurer {
public:
    EngineMeasurer() : m_library(std::make_shared<Library>()), m_extra(scanExtraFolders(m_library->library)) {}

    std::shared_ptr<const MeasuringFont> font(const FontRequest &request) override
    {
        const QString key = QStringLiteral("%1|%2|%3|%4")
                                .arg(request.face.toLower())
                                .arg(request.pixelSize)
                                .arg(request.weight)
                                .arg(request.italic);
        auto found = m_fonts.constFind(key);
        if (found != m_fonts.constEnd())
            return *found;
        std::shared_ptr<const MeasuringFont> made = open(request);
        m_fonts.insert(key, made);
        return made;
    }

private:
    std::shared_ptr<const MeasuringFont> open(const FontRequest &request)
    {
        const QString key = request.face.toLower() + (request.weight >= 600 ? QStringLiteral("|1") : QStringLiteral("|0"));
        const auto extra = m_extra.constFind(key);
        if (extra != m_extra.constEnd()) {
            FT_Face face = nullptr;
            if (FT_New_Face(m_library->library, QFile::encodeName(extra->file).constData(), extra->index, &face) == 0)
                return std::make_shared<EngineFont>(m_library, face, request.pixelSize, extra->family, false);
        }
        FcPattern *pattern = FcPatternCreate();
        const QByteArray family = request.face.toUtf8();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
        FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.weight));
        FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfig *config = sharedConfig();
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern *match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);

        QString file, used;
        int index = 0;
        bool sameFamily = false;
        if (match) {
            FcChar8 *value = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch)
                file = QString::fromUtf8(reinterpret_cast<const char *>(value));
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            for (int n = 0; FcPatternGetString(match, FC_FAMILY, n, &value) == FcResultMatch; ++n) {
                const QString name = QString::fromUtf8(reinterpret_cast<const char *>(value));
                if (n == 0)
                    used = name;
                if (name.compare(request.face, Qt::CaseInsensitive) == 0) {
                    sameFamily = true;
                    used = name;
                }
            }
            FcPatternDestroy(match);
        }
        FT_Face face = nullptr;
        if (file.isEmpty()
            || FT_New_Face(m_library->library, QFile::encodeName(file).constData(), index, &face) != 0) {
            return std::make_shared<NoFont>(request.pixelSize);
        }
        return std::make_shared<EngineFont>(m_library, face, request.pixelSize, used, !sameFamily);
    }

    // No font at all on the system: a crude estimate, said to be one.
    class NoFont : public MeasuringFont {
    public:
        explicit NoFont(int pixelSize) : m_size(pixelSize) {}
        int height() const override { return m_size + m_size / 4; }
        int textWidth(QStringView text) const override { return int(text.size()) * m_size / 2; }
        QString usedFace() const override { return QStringLiteral("no font"); }
        bool substituted() const override { return true; }

    private:
        int m_size;
    };

    std::shared_ptr<Library> m_library;
    QHash<QString, FaceFile> m_extra;
    QHash<QString, std::shared_ptr<const MeasuringFont>> m_fonts;
};

} // namespace

QStringList ExtraFontFolders()
{
    QStringList folders;
    const QString wine = QStringLiteral("/usr/share/wine/fonts");
    if (QDir(wine).exists())
        folders.append(wine);
    return folders;
}

std::shared_ptr<TextMeasurer> MakeFontEngineMeasurer() { return std::make_shared<EngineMeasurer>(); }

void InstallFontEngineMeasurer() { SetTextMeasurerMaker(&MakeFontEngineMeasurer); }
