#include "memory/pretranslate.h"

#include "catalogue/progress_reporter.h"

namespace {

// Suggestions tried per entry before it is left out.
constexpr int kCandidatesPerEntry = 8;
// Progress is reported every this many entries looked up.
constexpr int kProgressStep = 256;

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
        progress->show();
    }
    PreTranslationPlan plan;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (progress && i % kProgressStep == 0)
            progress->step(QStringLiteral("%1 of %2 strings").arg(i).arg(targets.size()));
        const QString &original = targets[i]->original;
        const std::vector<TmSuggestion> suggestions = memory.lookup(original, minScore, kCandidatesPerEntry);
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
