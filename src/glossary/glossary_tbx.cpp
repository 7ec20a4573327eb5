#include "glossary/glossary_tbx.h"

#include "exchange/outgoing_entries.h"
#include "glossary/glossary_xml.h"

#include <cstring>

namespace {

bool tbxIsName(const char *name, std::initializer_list<const char *> names)
{
    for (const char *n : names) {
        if (std::strcmp(name, n) == 0)
            return true;
    }
    return false;
}

// The language part of a tag, lowercased: "de" for "de-DE" and "de_DE".
QString tbxPrimaryOf(const QString &tag) { return tag.section(u'-', 0, 0).section(u'_', 0, 0).toLower(); }

struct TbxTerm {
    QString text, language, status, partOfSpeech;
    bool kept = false, caseSensitive = false;
};

class TbxReader {
public:
    explicit TbxReader(const QString &language) : m_wanted(tbxPrimaryOf(language)) { m_read.glossary.language = language; }

    void start(const char *name, const std::function<QString(const char *)> &attribute, qsizetype line)
    {
        ++m_depth;
        if (m_depth == 1) {
            if (!tbxIsName(name, {"martif", "tbx"}))
                m_rootError = QStringLiteral("the root element is <%1>, not TBX's <martif> or <tbx>")
                                  .arg(QString::fromUtf8(name));
            m_defaultLanguage = attribute("xml:lang");
            return;
        }
        if (tbxIsName(name, {"termEntry", "conceptEntry"})) {
            m_inEntry = true;
            m_entryLine = line;
            m_terms.clear();
            m_notes.clear();
        } else if (m_inEntry && tbxIsName(name, {"langSet", "langSec"})) {
            m_language = attribute("xml:lang");
            if (m_language.isEmpty())
                m_language = attribute("lang");
        } else if (m_inEntry && tbxIsName(name, {"tig", "ntig", "termSec"})) {
            m_term = TbxTerm();
            m_term.language = m_language;
            m_inTerm = true;
        } else if (tbxIsName(name, {"termNote", "descrip", "note"})) {
            m_type = attribute("type");
        }
    }

    void end(const char *name, const QString &text)
    {
        --m_depth;
        if (!m_inEntry)
            return;
        if (m_inTerm && std::strcmp(name, "term") == 0) {
            m_term.text = text.simplified();
        } else if (m_inTerm && std::strcmp(name, "termNote") == 0) {
            const QString value = text.trimmed();
            if (m_type == u"administrativeStatus" || m_type == u"x-status") {
                TermStatus status;
                if (ParseTermStatus(value, &status) && status == TermStatus::DoNotTranslate)
                    m_term.kept = true;
                else
                    m_term.status = value;
            } else if (m_type == u"partOfSpeech") {
                m_term.partOfSpeech = value;
            } else if (m_type == u"x-caseSensitive") {
                m_term.caseSensitive = value == u"yes" || value == u"true";
            }
        } else if (tbxIsName(name, {"descrip", "note"})) {
            if (!text.trimmed().isEmpty() && (m_type.isEmpty() || m_type == u"definition" || m_type == u"context"
                                              || std::strcmp(name, "note") == 0))
                m_notes.emplace_back(m_language, text.simplified());
        } else if (tbxIsName(name, {"tig", "ntig", "termSec"})) {
            m_inTerm = false;
            if (!m_term.text.isEmpty())
                m_terms.push_back(m_term);
        } else if (tbxIsName(name, {"langSet", "langSec"})) {
            m_language.clear();
        } else if (tbxIsName(name, {"termEntry", "conceptEntry"})) {
            m_inEntry = false;
            finishEntry();
        }
    }

    GlossaryRead finish(const QString &error)
    {
        m_read.error = m_rootError.isEmpty() ? error : m_rootError;
        return std::move(m_read);
    }

private:
    QString languageOf(const TbxTerm &term) const
    {
        return term.language.isEmpty() ? m_defaultLanguage : term.language;
    }

    void finishEntry()
    {
        QStringList sources;
        QString partOfSpeech;
        bool kept = false, caseSensitive = false;
        for (const TbxTerm &term : m_terms) {
            if (tbxPrimaryOf(languageOf(term)) != u"en")
                continue;
            sources.append(term.text);
            kept = kept || term.kept;
            caseSensitive = caseSensitive || term.caseSensitive;
            if (partOfSpeech.isEmpty())
                partOfSpeech = term.partOfSpeech;
        }
        if (sources.isEmpty()) {
            m_read.problems.append(QStringLiteral("line %1: the entry has no English term").arg(m_entryLine));
            return;
        }
        GlossaryEntry preferred, forbidden;
        for (const TbxTerm &term : m_terms) {
            const QString language = languageOf(term);
            if (tbxPrimaryOf(language) == u"en")
                continue;
            if (m_wanted.isEmpty()) {
                m_wanted = tbxPrimaryOf(language);
                m_read.glossary.language = language;
            }
            if (tbxPrimaryOf(language) != m_wanted)
                continue;
            TermStatus status = TermStatus::Preferred;
            if (!term.status.isEmpty() && !ParseTermStatus(term.status, &status))
                m_read.problems.append(QStringLiteral("line %1: the status \"%2\" of \"%3\" is not known; taken as "
                                                      "preferred")
                                           .arg(m_entryLine)
                                           .arg(term.status, term.text));
            kept = kept || term.kept;
            caseSensitive = caseSensitive || term.caseSensitive;
            (status == TermStatus::Forbidden ? forbidden : preferred).targets.append(term.text);
            if (partOfSpeech.isEmpty())
                partOfSpeech = term.partOfSpeech;
        }
        QString note;
        for (const auto &[language, text] : m_notes) {
            // The target language's note first, else the concept's or the English one.
            if (tbxPrimaryOf(language) == m_wanted) {
                note = text;
                break;
            }
            if (note.isEmpty() && (language.isEmpty() || tbxPrimaryOf(language) == u"en"))
                note = text;
        }
        for (const QString &source : sources) {
            auto add = [&](GlossaryEntry entry, TermStatus status) {
                entry.source = source;
                entry.status = status;
                entry.note = note;
                entry.partOfSpeech = partOfSpeech;
                entry.caseSensitive = caseSensitive;
                entry.line = m_entryLine;
                m_read.glossary.entries.push_back(std::move(entry));
            };
            if (kept)
                add(preferred, TermStatus::DoNotTranslate);
            else if (!preferred.targets.isEmpty())
                add(preferred, TermStatus::Preferred);
            if (!forbidden.targets.isEmpty())
                add(forbidden, TermStatus::Forbidden);
        }
    }

    QString m_wanted;
    GlossaryRead m_read;
    QString m_rootError, m_defaultLanguage, m_language, m_type;
    int m_depth = 0;
    bool m_inEntry = false, m_inTerm = false;
    qsizetype m_entryLine = 0;
    TbxTerm m_term;
    std::vector<TbxTerm> m_terms;
    std::vector<std::pair<QString, QString>> m_notes;
};

void appendTbxNote(std::string &out, const char *type, QStringView value)
{
    out.append("          <termNote");
    AppendMarkupAttribute(out, "type", QString::fromLatin1(type));
    out.append(">");
    AppendMarkupText(out, value);
    out.append("</termNote>\n");
}

void appendTbxTerm(std::string &out, const QString &term, const GlossaryEntry &entry, const char *status)
{
    out.append("        <tig>\n          <term>");
    AppendMarkupText(out, term);
    out.append("</term>\n");
    if (!entry.partOfSpeech.isEmpty())
        appendTbxNote(out, "partOfSpeech", entry.partOfSpeech);
    if (status)
        appendTbxNote(out, "administrativeStatus", QString::fromLatin1(status));
    out.append("        </tig>\n");
}

// One concept: the English term with its notes, then the target terms in
// `language`.
void appendTbxEntry(std::string &out, const GlossaryEntry &entry, const QString &language)
{
    out.append("    <termEntry>\n");
    if (!entry.note.isEmpty()) {
        out.append("      <descrip type=\"definition\">");
        AppendMarkupText(out, entry.note);
        out.append("</descrip>\n");
    }
    out.append("      <langSet xml:lang=\"en\">\n");
    out.append("        <tig>\n          <term>");
    AppendMarkupText(out, entry.source);
    out.append("</term>\n");
    if (!entry.partOfSpeech.isEmpty())
        appendTbxNote(out, "partOfSpeech", entry.partOfSpeech);
    if (entry.status == TermStatus::DoNotTranslate)
        appendTbxNote(out, "x-status", u"do-not-translate");
    if (entry.caseSensitive)
        appendTbxNote(out, "x-caseSensitive", u"yes");
    out.append("        </tig>\n      </langSet>\n");
    if (!entry.targets.isEmpty()) {
        out.append("      <langSet");
        AppendMarkupAttribute(out, "xml:lang", language);
        out.append(">\n");
        const char *status = entry.status == TermStatus::Forbidden ? "deprecatedTerm-admn-sts"
                             : entry.status == TermStatus::Preferred ? "preferredTerm-admn-sts"
                                                                     : nullptr;
        for (const QString &target : entry.targets)
            appendTbxTerm(out, target, entry, status);
        out.append("      </langSet>\n");
    }
    out.append("    </termEntry>\n");
}

} // namespace

GlossaryRead ReadGlossaryTbx(const QByteArray &bytes, const QString &language)
{
    TbxReader reader(language);
    GlossaryXmlEvents events;
    events.start = [&](const char *name, const std::function<QString(const char *)> &attribute, qsizetype line) {
        reader.start(name, attribute, line);
    };
    events.end = [&](const char *name, const QString &text) { reader.end(name, text); };
    return reader.finish(ReadGlossaryXml(bytes, events));
}

QByteArray WriteGlossaryTbx(const Glossary &glossary)
{
    std::string out;
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<martif type=\"TBX-Basic\" xml:lang=\"en\">\n"
               "  <martifHeader>\n    <fileDesc>\n      <sourceDesc><p>Rendaro glossary</p></sourceDesc>\n"
               "    </fileDesc>\n  </martifHeader>\n  <text>\n    <body>\n");
    for (const GlossaryEntry &entry : glossary.entries)
        appendTbxEntry(out, entry, glossary.language);
    out.append("    </body>\n  </text>\n</martif>\n");
    return QByteArray::fromStdString(out);
}

GlossaryRead ReadGlossaryQph(const QByteArray &bytes)
{
    GlossaryRead read;
    GlossaryEntry entry;
    int depth = 0;
    bool inPhrase = false;
    GlossaryXmlEvents events;
    events.start = [&](const char *name, const std::function<QString(const char *)> &attribute, qsizetype line) {
        ++depth;
        if (depth == 1) {
            if (std::strcmp(name, "QPH") != 0)
                read.error = QStringLiteral("the root element is <%1>, not a phrase book's <QPH>")
                                 .arg(QString::fromUtf8(name));
            read.glossary.language = attribute("language");
        } else if (std::strcmp(name, "phrase") == 0) {
            entry = GlossaryEntry();
            entry.line = line;
            inPhrase = true;
        }
    };
    events.end = [&](const char *name, const QString &text) {
        --depth;
        if (!inPhrase)
            return;
        if (std::strcmp(name, "source") == 0) {
            entry.source = text.simplified();
        } else if (std::strcmp(name, "target") == 0) {
            if (!text.simplified().isEmpty())
                entry.targets.append(text.simplified());
        } else if (std::strcmp(name, "definition") == 0) {
            entry.note = text.simplified();
        } else if (std::strcmp(name, "phrase") == 0) {
            inPhrase = false;
            if (entry.source.isEmpty() || entry.targets.isEmpty())
                read.problems.append(QStringLiteral("line %1: the phrase has no %2")
                                         .arg(entry.line)
                                         .arg(entry.source.isEmpty() ? QStringLiteral("source")
                                                                     : QStringLiteral("target")));
            else
                read.glossary.entries.push_back(entry);
        }
    };
    const QString error = ReadGlossaryXml(bytes, events);
    if (read.error.isEmpty())
        read.error = error;
    return read;
}

QByteArray WriteGlossaryQph(const Glossary &glossary)
{
    std::string out("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE QPH>\n<QPH sourcelanguage=\"en\"");
    if (!glossary.language.isEmpty())
        AppendMarkupAttribute(out, "language", glossary.language);
    out.append(">\n");
    for (const GlossaryEntry &entry : glossary.entries) {
        // A phrase book knows no forbidden words, and a kept name is its own target.
        if (entry.status == TermStatus::Forbidden)
            continue;
        const QStringList targets = entry.targets.isEmpty() ? QStringList{entry.source} : entry.targets;
        for (const QString &target : targets) {
            out.append("<phrase>\n    <source>");
            AppendMarkupText(out, entry.source);
            out.append("</source>\n    <target>");
            AppendMarkupText(out, target);
            out.append("</target>\n");
            if (!entry.note.isEmpty()) {
                out.append("    <definition>");
                AppendMarkupText(out, entry.note);
                out.append("</definition>\n");
            }
            out.append("</phrase>\n");
        }
    }
    out.append("</QPH>\n");
    return QByteArray::fromStdString(out);
}

QByteArray AppendGlossaryTbxEntry(const QByteArray &bytes, const GlossaryEntry &entry, const QString &language,
                                  QString *error)
{
    // The concept goes before the body's end tag; everything else stays as
    // the file writes it.
    const qsizetype body = bytes.lastIndexOf("</body>");
    if (body < 0) {
        *error = QStringLiteral("the file has no <body> to add a conceptText to");
        return QByteArray();
    }
    if (language.isEmpty()) {
        *error = QStringLiteral("the glossary's language is not known (TBX names it)");
        return QByteArray();
    }
    std::string conceptText;
    appendTbxEntry(conceptText, entry, language);
    // The end tag keeps the indentation of its line.
    const qsizetype lineStart = bytes.lastIndexOf('\n', body) + 1;
    const QByteArray indent = bytes.mid(lineStart, body - lineStart);
    const bool onItsLine = indent.trimmed().isEmpty();
    QByteArray out = bytes.left(onItsLine ? lineStart : body);
    if (!onItsLine)
        out.append('\n');
    const bool crlf = bytes.contains("\r\n");
    QByteArray added = QByteArray::fromStdString(conceptText);
    if (crlf)
        added.replace("\n", "\r\n");
    out.append(added);
    out.append(onItsLine ? bytes.mid(lineStart) : bytes.mid(body));
    return out;
}
