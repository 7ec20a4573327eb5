#include "export/script_output_path.h"

#include "export/script_table.h"

namespace {

const char *const kLanguageCodes[] = {"BGR", "CHS", "CHT", "CSY", "DAN", "DEU", "ELL", "ENG", "ESP", "FAR", "FIN",
                                      "FRA", "HEB", "HRV", "HUN", "ITA", "JPN", "KOR", "NLD", "NOR", "PLK", "PTB",
                                      "PTG", "ROM", "RUS", "SRL", "SKY", "SLV", "SWE", "THA", "TRK"};

struct DeviceName {
    const char *pattern;
    const char *name;
};
const DeviceName kDeviceNames[] = {
    {"CHT.xml", "zh_tw.js"},   {"CSY.xml", "czech.js"},      {"DEU.xml", "german.js"},
    {"ENG.xml", "en.js"},      {"ESP.xml", "spanish.js"},    {"FRA.xml", "french.js"},
    {"ITA.xml", "italian.js"}, {"JPN.xml", "japan.js"},      {"KOR.xml", "korean.js"},
    {"NLD.xml", "nederlands.js"}, {"PLK.xml", "polish.js"},  {"PTB.xml", "portuguese_brasil.js"},
    {"RUS.xml", "russian.js"}, {"SWE.xml", "swedish.js"},    {"FIN.xml", "finland.js"},
    {"SRL.xml", "serbian_latin.js"}, {"HUN.xml", "hungary.js"}, {"CHS.xml", "zh_cn.js"},
    {"BGR.xml", "bulgarian.js"}, {"CAT.xml", "croatian.js"}, {"SLV.xml", "slovenian.js"},
    {"THA.xml", "thai.js"},    {"TRK.xml", "turkish.js"},    {"CRO.xml", "croatia.js"},
    {"HEB.xml", "hebrew.js"},  {"LIT.xml", "lithuanian.js"},
};

QString latin1(const char *text) { return QString::fromLatin1(text); }

// A pattern counts only where it occurs after the path's first character.
bool occursAfterStart(const QString &path, const QString &pattern) { return path.indexOf(pattern) > 0; }

QString resourceTableName(const QString &path)
{
    for (const char *code : kLanguageCodes) {
        if (occursAfterStart(path, QStringLiteral("ViewRes%1.xml").arg(latin1(code))))
            return latin1(code) + QStringLiteral(".js");
    }
    for (const char *code : kLanguageCodes) {
        if (occursAfterStart(path, QStringLiteral("BackRes%1.xml").arg(latin1(code))))
            return latin1(code) + QStringLiteral("WebRPB.js");
    }
    return QString();
}

QString deviceName(const QString &path, const QString &fallback)
{
    if (occursAfterStart(path, QStringLiteral("Vantor2"))) {
        if (path.contains(u"TRK.xml"))
            return QStringLiteral("turkish_2.js");
        if (path.contains(u"HEB.xml"))
            return QStringLiteral("hebrew_2.js");
        return fallback;
    }
    if (path.contains(u"Vantor")) {
        for (const DeviceName &row : kDeviceNames) {
            if (path.contains(latin1(row.pattern)))
                return latin1(row.name);
        }
    }
    return fallback;
}

} // namespace

QString ScriptOutputPath(const QString &sourcePath, int kind)
{
    const qsizetype slash = sourcePath.lastIndexOf(u'/');
    if (kind == ScriptPhp) {
        const qsizetype dot = sourcePath.lastIndexOf(u'.');
        const QString stem = dot > slash ? sourcePath.left(dot) : sourcePath;
        return stem + QStringLiteral(".php");
    }
    const QString name = deviceName(sourcePath, resourceTableName(sourcePath));
    if (name.isEmpty())
        return QString();
    if (slash < 0)
        return name;
    return sourcePath.left(slash + 1) + name;
}
