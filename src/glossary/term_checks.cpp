#include "glossary/term_checks.h"

#include "checks/check_share.h"
#include "glossary/glossary_files.h"
#include "glossary/term_matcher.h"
#include "spelling/spelling_languages.h"

#include <future>

namespace {

// The terms quoted, joined with commas, appended to `out` (a message is
// made for every finding, so it is appended in place).
void appendQuoted(QString &out, const QStringList &terms)
{
    for (qsizetype i = 0; i < terms.size(); ++i) {
        if (i > 0)
            out += QLatin1String(", ");
        out += u'"';
        out += terms[i];
        out += u'"';
    }
}

// "glossary term "source"" as the messages start.
QString termLead(const QString &source)
{
    QString lead;
    lead.reserve(source.size() + 96);
    lead += QLatin1String("glossary term \"");
    lead += source;
    lead += u'"';
    return lead;
}

// What every set of checks made for one file shares: the glossary's index
// and a hunspell handle per language, loaded once.
struct GlossaryBase {
    // The file's dictionary loads on a second thread while the English one
    // loads and the index is built.
    GlossaryBase(const Glossary &glossary, const QString &targetDictionary, const QString &primary)
        : GlossaryBase(glossary, targetDictionary, primary,
                       std::async(std::launch::async, [targetDictionary] { return WordStems(targetDictionary); }))
    {
    }

    GlossaryBase(const Glossary &glossary, const QString &targetDictionary, const QString &primary,
                 std::future<WordStems> targetStems)
        : english(QStringLiteral("en_US")), index(glossary, english), target(targetStems.get()),
          writing(TargetWritingFor(primary))
    {
        if (!english.hasDictionary())
            notes = QStringLiteral(" (no en_US dictionary: English words compared whole)");
        if (!target.hasDictionary())
            notes += QStringLiteral(" (%1: words compared whole)")
                         .arg(targetDictionary.isEmpty() ? QStringLiteral("no dictionary for the language")
                                                         : QStringLiteral("no %1 dictionary").arg(targetDictionary));
    }

    WordStems english;  // with the glossary's words found; never used itself, only copied
    TermIndex index;
    WordStems target;
    TargetWriting writing;
    QString notes;
};

// What the three checks of one set share: the base, the stems found by
// this set's thread, and the words of the last texts judged (each check of
// an entry asks for the same texts).
class GlossaryJudge {
public:
    explicit GlossaryJudge(std::shared_ptr<const GlossaryBase> base)
        : m_base(std::move(base)), m_english(m_base->english.forAnotherThread()),
          m_target(m_base->target.forAnotherThread())
    {
    }

    const TermIndex &index() const { return m_base->index; }

    const std::vector<TermMatch> &matches(const QString &original)
    {
        if (!m_haveOriginal || original != m_original) {
            m_original = original;
            m_matches = m_base->index.find(original, m_english);
            m_haveOriginal = true;
        }
        return m_matches;
    }

    bool holds(const QString &translation, const QString &term, bool caseSensitive, bool exact = false)
    {
        if (!m_haveTranslation || translation != m_translation) {
            m_translation = translation;
            m_words.read(translation, m_target);
            m_haveTranslation = true;
        }
        auto prepared = m_terms.constFind(term);
        if (prepared == m_terms.constEnd())
            prepared = m_terms.insert(term, PrepareTargetTerm(term, m_target, m_base->writing.compounds));
        return TranslationHoldsTerm(m_words, *prepared, m_target, m_base->writing, caseSensitive, exact);
    }

    const QString &notes() const { return m_base->notes; }

private:
    std::shared_ptr<const GlossaryBase> m_base;
    WordStems m_english, m_target;
    QString m_original, m_translation;
    bool m_haveOriginal = false, m_haveTranslation = false;
    std::vector<TermMatch> m_matches;
    TranslationWords m_words;
    QHash<QString, TargetTerm> m_terms;  // the target terms looked for so far
};

CheckInfo termInfo()
{
    return {QStringLiteral("term"), QStringLiteral("Glossary term"), Severity::Warning,
            QStringLiteral("Where the original holds a glossary term, the translation holds one of its target terms "
                           "(any inflected form).")};
}

CheckInfo forbiddenInfo()
{
    return {QStringLiteral("forbidden-term"), QStringLiteral("Forbidden term"), Severity::Warning,
            QStringLiteral("The translation holds no word the glossary forbids.")};
}

CheckInfo untranslatedInfo()
{
    return {QStringLiteral("untranslated-term"), QStringLiteral("Untranslated term"), Severity::Warning,
            QStringLiteral("A name the glossary keeps as it is stands in the translation as it is written.")};
}

class GlossaryCheck : public PerEntryCheck {
public:
    GlossaryCheck(CheckInfo info, std::shared_ptr<GlossaryJudge> judge, TermStatus status)
        : PerEntryCheck(std::move(info)), m_judge(std::move(judge)), m_status(status)
    {
    }

    void judge(const CheckedEntry &checked, const CheckContext &, std::vector<Finding> &out) const override
    {
        const StringEntry &entry = checked.entry;
        GlossaryJudge &judge = *m_judge;
        const Glossary &glossary = judge.index().glossary();
        QStringList reported;  // one finding per source term
        for (const TermMatch &match : judge.matches(entry.original)) {
            const TermGroup &group = judge.index().groups()[size_t(match.group)];
            if (m_status == TermStatus::Preferred) {
                // Rows of one source term are alternatives: any of their
                // targets will do.
                const QString message = judgePreferredGroup(entry, glossary, group);
                if (!message.isEmpty() && !reported.contains(group.source)) {
                    reported.append(group.source);
                    out.push_back(finding(entry, message));
                }
                continue;
            }
            for (int e : group.entries) {
                const GlossaryEntry &term = glossary.entries[size_t(e)];
                if (term.status != m_status || reported.contains(term.source))
                    continue;
                const QString message = judgeTerm(entry, term);
                if (!message.isEmpty()) {
                    reported.append(term.source);
                    out.push_back(finding(entry, message));
                }
            }
        }
        if (m_status == TermStatus::Forbidden) {
            for (int e : judge.index().forbiddenAnywhere()) {
                const GlossaryEntry &term = glossary.entries[size_t(e)];
                const QString message = judgeTerm(entry, term);
                if (!message.isEmpty())
                    out.push_back(finding(entry, message));
            }
        }
    }

private:
    QString judgePreferredGroup(const StringEntry &entry, const Glossary &glossary, const TermGroup &group) const
    {
        GlossaryEntry pooled;
        for (int e : group.entries) {
            const GlossaryEntry &term = glossary.entries[size_t(e)];
            if (term.status != TermStatus::Preferred)
                continue;
            if (pooled.targets.isEmpty()) {
                pooled = term;
                continue;
            }
            for (const QString &target : term.targets) {
                if (!pooled.targets.contains(target))
                    pooled.targets.append(target);
            }
        }
        return pooled.targets.isEmpty() ? QString() : judgeTerm(entry, pooled);
    }

    // The message of a fault of the translation against one entry, or
    // nothing.
    QString judgeTerm(const StringEntry &entry, const GlossaryEntry &term) const
    {
        GlossaryJudge &judge = *m_judge;
        const QString &translation = entry.translation;
        switch (m_status) {
        case TermStatus::Preferred:
            for (const QString &target : term.targets) {
                if (judge.holds(translation, target, term.caseSensitive))
                    return QString();
            }
        {
            QString message = termLead(term.source);
            message += QLatin1String(": the translation holds none of ");
            appendQuoted(message, term.targets);
            message += judge.notes();
            return message;
        }
        case TermStatus::Forbidden: {
            QStringList found;
            for (const QString &target : term.targets) {
                if (judge.holds(translation, target, term.caseSensitive))
                    found.append(target);
            }
            if (found.isEmpty())
                return QString();
            QString message = term.source.isEmpty() ? QStringLiteral("glossary") : termLead(term.source);
            message += QLatin1String(": the translation holds ");
            appendQuoted(message, found);
            message += QLatin1String(", which the glossary forbids");
            message += judge.notes();
            return message;
        }
        case TermStatus::DoNotTranslate: {
            const QStringList kept = term.targets.isEmpty() ? QStringList{term.source} : term.targets;
            for (const QString &name : kept) {
                if (judge.holds(translation, name, true, true))
                    return QString();
            }
            QString message = termLead(term.source);
            message += QLatin1String(" is kept as it is: the translation does not hold ");
            appendQuoted(message, kept);
            return message;
        }
        }
        return QString();
    }

    std::shared_ptr<GlossaryJudge> m_judge;
    TermStatus m_status;
};

QStringList glossaryPaths(const CheckTarget &target)
{
    const QStringList given = target.options.value(QStringLiteral("glossary")).toStringList();
    return given.isEmpty() ? FindGlossaryFiles(target.path) : given;
}

// The glossary of the target: the one the caller read (the option
// "glossary-entries"), else its files read now; problems named.
Glossary targetGlossary(const CheckTarget &target, QStringList &problems)
{
    Glossary glossary;
    const QVariant given = target.options.value(QStringLiteral("glossary-entries"));
    if (given.metaType() == QMetaType::fromType<SharedGlossary>()) {
        if (const SharedGlossary shared = given.value<SharedGlossary>())
            glossary = *shared;
        return glossary;
    }
    const QStringList paths = glossaryPaths(target);
    glossary.language = target.context.language.tag;
    for (const QString &path : paths) {
        GlossaryRead read = ReadGlossaryFile(path, target.context.language.tag);
        if (!read.ok()) {
            problems.append(QStringLiteral("%1: %2").arg(path, read.error));
            continue;
        }
        for (const QString &problem : read.problems)
            problems.append(QStringLiteral("%1: %2").arg(path, problem));
        for (GlossaryEntry &entry : read.glossary.entries)
            glossary.entries.push_back(std::move(entry));
    }
    return glossary;
}

// The glossary of the target read, and its base made; problems named.
struct MadeBase {
    std::shared_ptr<const GlossaryBase> base;  // null without entries
    QStringList problems;
};

MadeBase makeBase(const CheckTarget &target)
{
    MadeBase made;
    const Glossary glossary = targetGlossary(target, made.problems);
    if (glossary.entries.empty())
        return made;
    const SpellingLanguage *language = SpellingLanguageForCode(target.context.language.code);
    const QString dictionary = language ? QString::fromLatin1(language->dictionary) : QString();
    made.base = std::make_shared<const GlossaryBase>(glossary, dictionary, target.context.language.primary);
    return made;
}

CheckFactoryResult makeGlossaryChecks(const CheckTarget &target)
{
    // Sets made for one file share the glossary and its dictionaries.
    std::shared_ptr<const MadeBase> made;
    if (const SharedCheckData share = CheckShareOf(target.options))
        made = share->once<MadeBase>(QStringLiteral("glossary"),
                                           [&target] { return std::make_shared<const MadeBase>(makeBase(target)); });
    else
        made = std::make_shared<const MadeBase>(makeBase(target));
    CheckFactoryResult result;
    result.problems = made->problems;
    if (!made->base)
        return result;
    auto judge = std::make_shared<GlossaryJudge>(made->base);
    result.checks.push_back(std::make_shared<GlossaryCheck>(termInfo(), judge, TermStatus::Preferred));
    result.checks.push_back(std::make_shared<GlossaryCheck>(forbiddenInfo(), judge, TermStatus::Forbidden));
    result.checks.push_back(std::make_shared<GlossaryCheck>(untranslatedInfo(), judge, TermStatus::DoNotTranslate));
    return result;
}

} // namespace

CheckFactory GlossaryCheckFactory()
{
    CheckFactory factory;
    factory.checks = {termInfo(), forbiddenInfo(), untranslatedInfo()};
    factory.make = makeGlossaryChecks;
    return factory;
}
