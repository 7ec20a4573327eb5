#include "memory/tmx_memory.h"

#include "exchange/display_form.h"
#include "exchange/language_tags.h"
#include "exchange/tmx_reader.h"
#include "memory/translation_memory.h"

namespace {

const QString kEnglish = QStringLiteral("en");

} // namespace

int TmxSegmentPicker::score(std::vector<std::pair<QString, int>> &cache, const QString &wanted, const QString &given)
{
    for (const auto &[language, known] : cache) {
        if (language == given)
            return known;
    }
    const int computed = LanguageMatch(wanted, given);
    if (cache.size() < 64)
        cache.emplace_back(given, computed);
    return computed;
}

bool TmxSegmentPicker::pick(const TmxUnit &unit, TmxSegment *segment)
{
    const TmxVariant *source = nullptr, *target = nullptr;
    int sourceScore = 0, targetScore = 0;
    bool severalOthers = false;
    for (const TmxVariant &variant : unit.variants) {
        const int english = score(m_sourceScores, kEnglish, variant.language);
        if (english > sourceScore) {
            source = &variant;
            sourceScore = english;
        }
        if (english > 0)
            continue;
        if (m_language.isEmpty()) {
            if (target && LanguageMatch(target->language, variant.language) != 2)
                severalOthers = true;
            if (!target)
                target = &variant;
            continue;
        }
        const int wanted = score(m_targetScores, m_language, variant.language);
        if (wanted > targetScore) {
            target = &variant;
            targetScore = wanted;
        }
    }
    if (!source || !target || severalOthers)
        return false;
    segment->original = FromDisplayForm(source->text);
    segment->translation = FromDisplayForm(target->text);
    segment->keys = unit.keys;
    return IsMemorySegment(segment->original, segment->translation, 1);
}

TmxMemoryRead ReadTmxSegments(const QString &path, const QString &language,
                              const std::function<void(std::vector<TmxSegment> &batch)> &take,
                              const std::function<bool()> &cancel, std::size_t batchSize)
{
    TmxMemoryRead read;
    TmxSegmentPicker picker(language);
    std::vector<TmxSegment> batch;
    batch.reserve(batchSize);
    bool stopped = false;
    auto handOver = [&] {
        if (!batch.empty())
            take(batch);
        batch.clear();
    };
    const TmxReadResult result = ReadTmxFile(path, [&](const TmxUnit &unit) {
        TmxSegment segment;
        if (picker.pick(unit, &segment))
            batch.push_back(std::move(segment));
        else
            ++read.skipped;
        if (batch.size() >= batchSize) {
            if (cancel && cancel()) {
                stopped = true;
                return false;
            }
            handOver();
        }
        return true;
    });
    if (!stopped)
        handOver();
    read.units = result.units;
    if (!result.ok()) {
        read.failure.path = path;
        if (result.units == 1)
            read.failure.reason = result.error + QStringLiteral("; the unit before it is used");
        else if (result.units > 1)
            read.failure.reason = QStringLiteral("%1; the %2 units before it are used").arg(result.error).arg(result.units);
        else
            read.failure.reason = result.error;
    }
    return read;
}

QString TmxSkippedText(const TmxMemoryRead &read, const QString &language)
{
    if (read.skipped == 0)
        return QString();
    const QString needed = language.isEmpty() ? QStringLiteral("one other language") : language;
    return QStringLiteral("%1 of %2 units were left out: they hold no English text, no text in %3, or no "
                          "translation")
        .arg(read.skipped)
        .arg(read.units)
        .arg(needed);
}
