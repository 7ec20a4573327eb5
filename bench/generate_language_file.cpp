#include "generate_language_file.h"

#include <QFile>
#include <random>

namespace {

const char *const kWords[] = {"Open", "Save", "file", "folder", "settings", "Cancel", "device", "network",
                              "password", "update", "Delete", "selected", "items", "recording", "camera",
                              "schedule", "Warning", "connection", "failed", "please", "try", "again"};
const char *const kForeign[] = {"Öffnen", "Speichern", "Datei", "Ordner", "Einstellungen", "Abbrechen",
                                "Gerät", "Netzwerk", "Kennwort", "Aktualisierung", "Löschen", "ausgewählte",
                                "Elemente", "Aufnahme", "Kamera", "Zeitplan", "Warnung", "Verbindung",
                                "fehlgeschlagen", "bitte", "erneut", "版本", "设置", "文件"};
const char *const kPlaceholders[] = {"%s", "%d", "%.2f", "%ld", "%-5d"};
const char *const kExtras[] = {" &amp; ", " &lt;b&gt; ", " &quot;x&quot; ", "/n", "/r/n"};

class Generator {
public:
    explicit Generator(std::uint32_t seed) : m_random(seed) {}

    QByteArray sentence(const char *const *words, int wordCount, int index)
    {
        QByteArray text;
        const int length = 1 + pick(6);
        for (int i = 0; i < length; ++i) {
            if (i)
                text += ' ';
            text += words[pick(wordCount)];
            if (pick(10) == 0)
                text += kPlaceholders[pick(5)];
            if (pick(14) == 0)
                text += kExtras[pick(5)];
        }
        text += ' ';
        text += QByteArray::number(index);  // most originals are distinct
        return text;
    }

    int pick(int n) { return int(m_random() % std::uint32_t(n)); }

private:
    std::mt19937 m_random;
};

} // namespace

bool generateLanguageFile(const QString &path, int entries, std::uint32_t seed)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    Generator g(seed);
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n\r\n"
                     "<Language AllowLength=\"2.000000\" CodeType=\"CPlus2\">\r\n";
    const int wordCount = int(std::size(kWords));
    const int foreignCount = int(std::size(kForeign));
    for (int i = 0; i < entries; ++i) {
        // About one in fifty repeats an earlier original under another key.
        const int index = (i > 10 && g.pick(50) == 0) ? g.pick(i) : i;
        Generator same(std::uint32_t(index) * 7919u + 13u);
        const QByteArray original = same.sentence(kWords, wordCount, index);
        out += "   <L from=\"" + original + "\" to=\"";
        const int kind = g.pick(10);
        if (kind < 6)
            out += same.sentence(kForeign, foreignCount, index);
        else if (kind < 9)
            out += original;  // untranslated
        out += "\" key=\"IDS_STRING_" + QByteArray::number(i) + '"';
        if (kind == 9)
            out += " IsTrans=\"false\"";
        out += "/>\r\n";
        if (out.size() > (1 << 20)) {
            if (file.write(out) != out.size())
                return false;
            out.clear();
        }
    }
    out += "</Language>\r\n";
    return file.write(out) == out.size() && file.flush();
}
