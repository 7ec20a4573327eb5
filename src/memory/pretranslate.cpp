#include "memory/pretranslate.h"

#include "catalogue/progress_reporter.h"
#include "memory/lookup_many.h"

namespace {

// Suggestions tried per entry before it is left out.
constexpr int kCandidatesPerEntry = 8;
// Entries looked up (over a few threads) between two progress steps.
constexpr int kProgressStep = 1024;

// Whether the suggestion may go into the entry with this original.
bool fills(const QString &original, const TmSuggestion &suggestion, int codeType)
{
    return suggestion.translation != original && CheckSuggestion(original, suggestion.translation, codeType).ok;
}

} // namespace

CheckResult CheckSuggestion(const QString &original, const QString &translation, int codeType)
{
    const CheckResult placeholders = CheckPlaceholders(original, translation, codeType);
    if (!placeholders.ok)
        return placeholders;
    return CheckEscapeSequences(original, translation);
}

bool NeedsTranslation(const StringEntry &entry)
{
    return entry.translatable != 0 && (entry.translation.isEmpty() || entry.translation == entry.original);
}

PreTranslationPlan PlanPreTranslation(const CXMLStruct &catalogue, const TranslationMemory &memory, int minScore,
                                      ProgressReporter *progress)
{
    std::vector<const StringEntry *> targets;
    for (const auto &[original, entry] : catalogue.entries) {
        if (NeedsTranslation(entry))
            targets.push_back(&entry);
    }
    if (progress) {
        progress->setTotal(int((targets.size() + kProgressStep - 1) / kProgressStep));
        progress->allowCancel();
        progress->show();
    }
    PreTranslationPlan plan;
    std::vector<std::vector<TmSuggestion>> found;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::size_t inStep = i % kProgressStep;
        if (inStep == 0) {
            if (progress) {
                progress->step(QStringLiteral("%1 of %2 strings").arg(i).arg(targets.size()));
                if (progress->cancelled()) {
                    PreTranslationPlan stopped;
                    stopped.cancelled = true;
                    return stopped;
                }
            }
            QStringList originals;
            for (std::size_t k = i; k < targets.size() && k < i + kProgressStep; ++k)
                originals.append(targets[k]->original);
            // The best suggestion first: most entries take it, and finding
            // one costs less than finding several. The entries it does not
            // fill get their best few (which start with that one).
            found = LookupMany(memory, originals, minScore, 1);
            QStringList again;
            std::vector<std::size_t> againAt;
            for (std::size_t k = 0; k < found.size(); ++k) {
                if (!found[k].empty() && !fills(targets[i + k]->original, found[k].front(), catalogue.codeType)) {
                    again.append(originals[qsizetype(k)]);
                    againAt.push_back(k);
                }
            }
            std::vector<std::vector<TmSuggestion>> more = LookupMany(memory, again, minScore, kCandidatesPerEntry);
            for (std::size_t k = 0; k < againAt.size(); ++k)
                found[againAt[k]] = std::move(more[k]);
        }
        const QString &original = targets[i]->original;
        const std::vector<TmSuggestion> &suggestions = found[inStep];
        const PreTranslationRefusal *firstRefusal = nullptr;
        PreTranslationRefusal refusal;
        bool filled = false;
        for (const TmSuggestion &suggestion : suggestions) {
            if (suggestion.translation == original)
                continue;  // would leave the entry as untranslated as it is
            const CheckResult check = CheckSuggestion(original, suggestion.translation, catalogue.codeType);
            if (check.ok) {
                plan.fills.push_back({original, suggestion.translation, suggestion.score});
                filled = true;
                break;
            }
            if (!firstRefusal) {
                refusal = {original, suggestion.translation, check};
                firstRefusal = &refusal;
            }
        }
        if (!filled && firstRefusal)
            plan.leftOut.push_back(std::move(refusal));
    }
    return plan;
}

QString PreTranslationSummary(const PreTranslationPlan &plan)
{
    return QStringLiteral("%1 filled, %2 left out by the checks").arg(plan.fills.size()).arg(plan.leftOut.size());
}
