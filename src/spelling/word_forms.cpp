#include "spelling/word_forms.h"

#include <QFile>
#include <algorithm>
#include <bit>

namespace {

enum class FlagKind { Char, Long, Number, Utf8 };

// One position of an affix condition: a character, any character (.), or
// a set ([abc], [^abc]).
struct ConditionChar {
    QString set;
    bool any = false;
    bool negated = false;

    bool matches(QChar c) const { return any || (set.contains(c) != negated); }
};

struct Affix {
    QString strip;
    QString append;
    std::vector<ConditionChar> condition;
    std::vector<char16_t> continuation;  // flags of the affixes that may follow
    bool cross = false;
};

std::vector<ConditionChar> parseCondition(const QString &text)
{
    std::vector<ConditionChar> condition;
    for (qsizetype i = 0; i < text.size(); ++i) {
        ConditionChar position;
        if (text[i] == u'.') {
            position.any = true;
        } else if (text[i] == u'[') {
            qsizetype end = text.indexOf(u']', i + 1);
            if (end < 0)
                end = text.size();
            QString set = text.mid(i + 1, end - i - 1);
            if (set.startsWith(u'^')) {
                position.negated = true;
                set.remove(0, 1);
            }
            position.set = set;
            i = end;
        } else {
            position.set = text[i];
        }
        condition.push_back(std::move(position));
    }
    return condition;
}

// A condition of "." is no condition at all.
bool isAnything(const std::vector<ConditionChar> &condition)
{
    return condition.size() == 1 && condition[0].any;
}

// The stem with a suffix in place of its stripped end, into *out; false
// when the suffix does not apply to the stem.
bool applySuffix(QStringView stem, const Affix &suffix, QString *out)
{
    const qsizetype n = qsizetype(suffix.condition.size());
    if (stem.size() <= suffix.strip.size() || (!isAnything(suffix.condition) && n > stem.size()))
        return false;
    if (!stem.endsWith(suffix.strip))
        return false;
    if (!isAnything(suffix.condition)) {
        for (qsizetype i = 0; i < n; ++i) {
            if (!suffix.condition[size_t(i)].matches(stem[stem.size() - n + i]))
                return false;
        }
    }
    out->resize(0);
    out->append(stem.first(stem.size() - suffix.strip.size()));
    out->append(suffix.append);
    return !out->isEmpty();
}

bool applyPrefix(QStringView stem, const Affix &prefix, QString *out)
{
    const qsizetype n = qsizetype(prefix.condition.size());
    if (stem.size() <= prefix.strip.size() || (!isAnything(prefix.condition) && n > stem.size()))
        return false;
    if (!stem.startsWith(prefix.strip))
        return false;
    if (!isAnything(prefix.condition)) {
        for (qsizetype i = 0; i < n; ++i) {
            if (!prefix.condition[size_t(i)].matches(stem[i]))
                return false;
        }
    }
    out->resize(0);
    out->append(prefix.append);
    out->append(stem.sliced(prefix.strip.size()));
    return !out->isEmpty();
}

// The fields of a line, split at spaces and tabs.
QList<QByteArray> fieldsOf(const QByteArray &line)
{
    QList<QByteArray> fields;
    for (const QByteArray &field : line.simplified().split(' ')) {
        if (!field.isEmpty())
            fields << field;
    }
    return fields;
}

class AffixReader {
public:
    QString problem;
    FlagKind kind = FlagKind::Char;
    std::vector<std::vector<char16_t>> aliases;  // AF, numbered from 1
    std::vector<Affix> prefixes, suffixes;
    std::vector<std::vector<int>> prefixesOf = std::vector<std::vector<int>>(65536);
    std::vector<std::vector<int>> suffixesOf = std::vector<std::vector<int>>(65536);
    char16_t noSuggest = 0, forbidden = 0;
    QString tryLetters;
    std::vector<std::pair<QString, QString>> replacements;
    std::vector<std::pair<QString, QString>> conversions;
    std::vector<std::pair<QString, QString>> outputs;

    // The flags of a .dic entry or an affix's continuation: a number names
    // a set of the AF table when there is one.
    std::vector<char16_t> flags(QByteArrayView field) const
    {
        if (!aliases.empty() && !field.isEmpty() &&
            std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            const int index = field.toByteArray().toInt();
            return index >= 1 && size_t(index) <= aliases.size() ? aliases[size_t(index - 1)]
                                                                 : std::vector<char16_t>();
        }
        return plainFlags(field);
    }

    std::vector<char16_t> plainFlags(QByteArrayView field) const
    {
        std::vector<char16_t> result;
        switch (kind) {
        case FlagKind::Char:
            for (char c : field)
                result.push_back(char16_t(static_cast<unsigned char>(c)));
            break;
        case FlagKind::Long:
            for (qsizetype i = 0; i + 1 < field.size(); i += 2)
                result.push_back(char16_t((static_cast<unsigned char>(field[i]) << 8) |
                                          static_cast<unsigned char>(field[i + 1])));
            break;
        case FlagKind::Number:
            for (const QByteArray &number : field.toByteArray().split(','))
                result.push_back(char16_t(number.toUInt()));
            break;
        case FlagKind::Utf8:
            for (QChar c : QString::fromUtf8(field))
                result.push_back(c.unicode());
            break;
        }
        std::sort(result.begin(), result.end());
        return result;
    }

    char16_t flag(QByteArrayView field) const
    {
        const std::vector<char16_t> one = plainFlags(field);
        return one.empty() ? 0 : one.front();
    }

    bool read(const QByteArray &affix)
    {
        const QList<QByteArray> lines = affix.split('\n');
        // The header read first: the flag kind decides how the rest reads.
        for (const QByteArray &line : lines) {
            const QList<QByteArray> f = fieldsOf(line);
            if (f.size() >= 2 && f[0] == "SET" && f[1].toUpper() != "UTF-8")
                problem = QStringLiteral("the affix file is not in UTF-8");
            else if (f.size() >= 1 && (f[0] == "IGNORE" || f[0] == "COMPLEXPREFIXES"))
                problem = QStringLiteral("the affix file uses %1").arg(QString::fromLatin1(f[0]));
            else if (f.size() >= 2 && f[0] == "FLAG")
                kind = f[1] == "long" ? FlagKind::Long : f[1] == "num" ? FlagKind::Number : FlagKind::Utf8;
        }
        if (!problem.isEmpty())
            return false;
        int aliasesLeft = -1, replacementsLeft = -1, conversionsLeft = -1, outputsLeft = -1;
        // The entries still to come of the affix class last opened.
        int affixesLeft = 0;
        bool crossOfClass = false;
        for (const QByteArray &line : lines) {
            const QList<QByteArray> f = fieldsOf(line);
            if (f.isEmpty())
                continue;
            const QByteArray &key = f[0];
            if (key == "AF" && f.size() >= 2) {
                if (aliasesLeft < 0)
                    aliasesLeft = f[1].toInt();
                else if (aliasesLeft-- > 0)
                    aliases.push_back(plainFlags(f[1]));
            } else if (key == "REP" && f.size() >= 2) {
                if (replacementsLeft < 0 && f.size() == 2) {
                    replacementsLeft = f[1].toInt();
                } else if (f.size() >= 3 && replacementsLeft-- > 0) {
                    replacements.emplace_back(QString::fromUtf8(f[1]).replace(u'_', u' '),
                                              QString::fromUtf8(f[2]).replace(u'_', u' '));
                }
            } else if (key == "ICONV" && f.size() >= 2) {
                if (conversionsLeft < 0 && f.size() == 2)
                    conversionsLeft = f[1].toInt();
                else if (f.size() >= 3 && conversionsLeft-- > 0)
                    conversions.emplace_back(QString::fromUtf8(f[1]), QString::fromUtf8(f[2]));
            } else if (key == "OCONV" && f.size() >= 2) {
                if (outputsLeft < 0 && f.size() == 2)
                    outputsLeft = f[1].toInt();
                else if (f.size() >= 3 && outputsLeft-- > 0)
                    outputs.emplace_back(QString::fromUtf8(f[1]), QString::fromUtf8(f[2]));
            } else if (key == "TRY" && f.size() >= 2) {
                for (QChar c : QString::fromUtf8(f[1])) {
                    if (!c.isUpper() && !tryLetters.contains(c))
                        tryLetters += c;
                }
            } else if (key == "NOSUGGEST" && f.size() >= 2) {
                noSuggest = flag(f[1]);
            } else if (key == "FORBIDDENWORD" && f.size() >= 2) {
                forbidden = flag(f[1]);
            } else if ((key == "PFX" || key == "SFX") && f.size() >= 4) {
                const bool suffix = key == "SFX";
                if (affixesLeft <= 0) {
                    // The class's header: flag, cross product, count.
                    crossOfClass = f[2] == "Y";
                    affixesLeft = f[3].toInt();
                    continue;
                }
                --affixesLeft;
                Affix affix;
                affix.cross = crossOfClass;
                affix.strip = f[2] == "0" ? QString() : QString::fromUtf8(f[2]);
                QByteArray append = f[3];
                const qsizetype slash = append.indexOf('/');
                if (slash >= 0) {
                    affix.continuation = flags(QByteArrayView(append).sliced(slash + 1));
                    append.truncate(slash);
                }
                affix.append = append == "0" ? QString() : QString::fromUtf8(append);
                affix.condition = parseCondition(f.size() >= 5 ? QString::fromUtf8(f[4]) : QStringLiteral("."));
                std::vector<Affix> &all = suffix ? suffixes : prefixes;
                (suffix ? suffixesOf : prefixesOf)[flag(f[1])].push_back(int(all.size()));
                all.push_back(std::move(affix));
            }
        }
        return true;
    }

};

bool hasFlag(const std::vector<char16_t> &flags, char16_t flag)
{
    return flag != 0 && std::binary_search(flags.begin(), flags.end(), flag);
}

// Every form of one stem into `hashes`.
class Expander {
public:
    Expander(const AffixReader &affixes, std::vector<std::uint64_t> &hashes) : m_affixes(affixes), m_hashes(hashes) {}

    void expand(const QString &stem, const std::vector<char16_t> &flags)
    {
        addForm(stem);
        const auto &suffixes = m_affixes.suffixes;
        const auto &prefixes = m_affixes.prefixes;
        m_suffixed.clear();
        for (char16_t flag : flags) {
            for (int s : m_affixes.suffixesOf[flag]) {
                if (!applySuffix(stem, suffixes[size_t(s)], &m_form))
                    continue;
                addForm(m_form);
                m_suffixed.push_back(s);
                // A second suffix the first allows.
                for (char16_t next : suffixes[size_t(s)].continuation) {
                    for (int s2 : m_affixes.suffixesOf[next]) {
                        if (applySuffix(m_form, suffixes[size_t(s2)], &m_outer))
                            addForm(m_outer);
                    }
                }
                // A prefix the suffix allows.
                for (char16_t next : suffixes[size_t(s)].continuation) {
                    for (int p : m_affixes.prefixesOf[next]) {
                        if (applyPrefix(m_form, prefixes[size_t(p)], &m_outer))
                            addForm(m_outer);
                    }
                }
            }
        }
        for (char16_t flag : flags) {
            for (int p : m_affixes.prefixesOf[flag]) {
                const Affix &prefix = prefixes[size_t(p)];
                if (!applyPrefix(stem, prefix, &m_form))
                    continue;
                addForm(m_form);
                if (prefix.cross) {
                    for (int s : m_suffixed) {
                        if (suffixes[size_t(s)].cross && applySuffix(stem, suffixes[size_t(s)], &m_inner) &&
                            applyPrefix(m_inner, prefix, &m_outer))
                            addForm(m_outer);
                    }
                }
                // A suffix the prefix allows (a circumfix, say).
                for (char16_t next : prefix.continuation) {
                    for (int s : m_affixes.suffixesOf[next]) {
                        if (applySuffix(stem, suffixes[size_t(s)], &m_inner) && applyPrefix(m_inner, prefix, &m_outer))
                            addForm(m_outer);
                    }
                }
            }
        }
    }

    void addForm(QStringView form) { m_hashes.push_back(WordForms::hashFolded(form)); }

private:
    const AffixReader &m_affixes;
    std::vector<std::uint64_t> &m_hashes;
    std::vector<int> m_suffixed;
    QString m_form, m_inner, m_outer;
};

} // namespace

std::uint64_t WordForms::hashFolded(QStringView text)
{
    std::uint64_t hash = kHashStart;
    for (QChar c : text)
        hash = hashAddLower(hash, c.toLower().unicode());
    return hash;
}

namespace {
QString convert(const QString &word, const std::vector<std::pair<QString, QString>> &table)
{
    QString result = word;
    for (const auto &[from, to] : table)
        result.replace(from, to);
    return result;
}
} // namespace

QString WordForms::converted(const QString &word) const { return convert(word, m_conversions); }

QString WordForms::shown(const QString &word) const { return convert(word, m_outputs); }

bool WordForms::containsHash(std::uint64_t hash) const
{
    if (m_table.empty())
        return false;
    hash = hash ? hash : 1;
    for (std::uint64_t slot = (hash * 0x9E3779B97F4A7C15ull >> 20) & m_mask;; slot = (slot + 1) & m_mask) {
        if (m_table[slot] == hash)
            return true;
        if (m_table[slot] == 0)
            return false;
    }
}

void WordForms::buildTable(std::vector<std::uint64_t> &hashes)
{
    std::sort(hashes.begin(), hashes.end());
    hashes.erase(std::unique(hashes.begin(), hashes.end()), hashes.end());
    m_count = qsizetype(hashes.size());
    // At most half full: a probe seldom looks past its first slot.
    const std::uint64_t size = std::bit_ceil(std::uint64_t(hashes.size()) * 2 + 16);
    m_mask = size - 1;
    m_table.assign(size_t(size), 0);
    for (std::uint64_t hash : hashes) {
        hash = hash ? hash : 1;
        std::uint64_t slot = (hash * 0x9E3779B97F4A7C15ull >> 20) & m_mask;
        while (m_table[slot] != 0 && m_table[slot] != hash)
            slot = (slot + 1) & m_mask;
        m_table[slot] = hash;
    }
}

std::shared_ptr<const WordForms> WordForms::fromText(const QByteArray &affix, const QByteArray &dic,
                                                     const QStringList &extraWords, QString *why)
{
    AffixReader affixes;
    if (!affixes.read(affix)) {
        *why = affixes.problem;
        return nullptr;
    }
    std::vector<std::uint64_t> hashes;
    hashes.reserve(size_t(dic.size() / 4));
    Expander expander(affixes, hashes);
    const QList<QByteArray> lines = dic.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {  // the first line is the count
        QByteArray line = lines[i];
        const qsizetype tab = line.indexOf('\t');
        if (tab >= 0)
            line.truncate(tab);
        // The word ends at its first slash not escaped, the flags at a space.
        qsizetype slash = -1;
        for (qsizetype at = line.indexOf('/'); at >= 0; at = line.indexOf('/', at + 1)) {
            if (at == 0 || line[at - 1] != '\\') {
                slash = at;
                break;
            }
        }
        QByteArray word = slash >= 0 ? line.left(slash) : line;
        QByteArray flagField = slash >= 0 ? line.mid(slash + 1) : QByteArray();
        const qsizetype space = (slash >= 0 ? flagField : word).indexOf(' ');
        if (space >= 0)
            (slash >= 0 ? flagField : word).truncate(space);
        word = word.trimmed().replace("\\/", "/");
        flagField = flagField.trimmed();
        if (word.isEmpty())
            continue;
        const std::vector<char16_t> flags = affixes.flags(flagField);
        // A word never suggested (or forbidden) is no form to suggest.
        if (hasFlag(flags, affixes.noSuggest) || hasFlag(flags, affixes.forbidden))
            continue;
        expander.expand(QString::fromUtf8(word), flags);
    }
    for (const QString &word : extraWords)
        expander.addForm(word);
    std::shared_ptr<WordForms> forms(new WordForms);
    forms->buildTable(hashes);
    forms->m_tryLetters = affixes.tryLetters;
    forms->m_replacements = std::move(affixes.replacements);
    forms->m_conversions = std::move(affixes.conversions);
    forms->m_outputs = std::move(affixes.outputs);
    return forms;
}

std::shared_ptr<const WordForms> WordForms::load(const DictionaryFiles &files, const QStringList &extraWords,
                                                 QString *why)
{
    QFile affix(files.affPath), dic(files.dicPath);
    if (files.affPath.isEmpty() || !affix.open(QIODevice::ReadOnly) || !dic.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("no %1 dictionary").arg(files.name);
        return nullptr;
    }
    return fromText(affix.readAll(), dic.readAll(), extraWords, why);
}
