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
            m_height = int(std::lround(os2->usWinAscent * scale)) + int(std::lround(os2->usWinDescent * scale));
        } else {
            m_height = int((m_face->size->metrics.ascender - m_face->size->metrics.descender + 63) >> 6);
        }
    }
    ~EngineFont() override
    {
        hb_buffer_destroy(m_buffer);
        hb_font_destroy(m_font);  // releases the face
    }

    int height() const override { return m_height; }
    QString usedFace() const override { return m_used; }
    bool substituted() const override { return m_substituted; }

    int textWidth(QStringView text) const override
    {
        if (text.isEmpty())
            return 0;
        hb_buffer_clear_contents(m_buffer);
        hb_buffer_add_utf16(m_buffer, reinterpret_cast<const uint16_t *>(text.utf16()), int(text.size()), 0,
                            int(text.size()));
        hb_buffer_guess_segment_properties(m_buffer);
        // Dialog text is drawn without kerning or ligatures.
        static const hb_feature_t features[] = {{HB_TAG('k', 'e', 'r', 'n'), 0, 0, unsigned(-1)},
                                                {HB_TAG('l', 'i', 'g', 'a'), 0, 0, unsigned(-1)},
                                                {HB_TAG('c', 'l', 'i', 'g'), 0, 0, unsigned(-1)}};
        hb_shape(m_font, m_buffer, features, 3);
        unsigned count = 0;
        const hb_glyph_position_t *positions = hb_buffer_get_glyph_positions(m_buffer, &count);
        long width = 0;
        for (unsigned i = 0; i < count; ++i)
            width += positions[i].x_advance;
        return int((width + 32) >> 6);  // 26.6 fixed point
    }

private:
    std::shared_ptr<Library> m_library;
    FT_Face m_face;
    hb_font_t *m_font = nullptr;
    hb_buffer_t *m_buffer = nullptr;
    int m_height = 0;
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
