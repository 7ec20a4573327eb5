#include "dialogfit/program_checks.h"

#include <QSet>
#include <set>

namespace {

// The letter the program gave a place: the template's mark, else the file's.
QChar originalLetter(const StringEntry *entry, const QString &programText)
{
    const QChar letter = AcceleratorOf(programText);
    if (!letter.isNull() || !entry)
        return letter;
    return AcceleratorOf(entry->original);
}

bool drawsMarks(const ProgramTexts &program, const ShownPlace &place)
{
    return place.kind == ShownPlace::MenuItem || !program.controlAt(place).noPrefix;
}

} // namespace

CheckInfo AcceleratorClashCheckInfo()
{
    return {QStringLiteral("accelerator-clash"), QStringLiteral("Accelerator clash"), Severity::Warning,
            QStringLiteral("Texts shown together in one dialog or menu popup use the same accelerator letter "
                           "only where their originals did.")};
}

AcceleratorClashCheck::AcceleratorClashCheck(std::shared_ptr<const ProgramTexts> program)
    : CatalogueCheck(AcceleratorClashCheckInfo()), m_program(std::move(program))
{
}

std::vector<const StringEntry *> AcceleratorClashCheck::entriesOf(const EntryMap &entries,
                                                                  const std::vector<ShownPlace> &group) const
{
    std::vector<const StringEntry *> shown;
    shown.reserve(group.size());
    for (const ShownPlace &place : group)
        shown.push_back(EntryShownBy(entries, m_program->textAt(place)));
    return shown;
}

void AcceleratorClashCheck::judgeGroup(const std::vector<ShownPlace> &group,
                                       const std::vector<const StringEntry *> &shown, std::vector<Finding> &out) const
{
    struct Member {
        const StringEntry *entry;
        QString text;
        QChar letter, was;
        const ShownPlace *place;
    };
    std::vector<Member> members;
    for (size_t i = 0; i < group.size(); ++i) {
        if (!shown[i] || !drawsMarks(*m_program, group[i]))
            continue;
        const QString &programText = m_program->textAt(group[i]);
        QString text = TextShownFor(shown[i], programText);
        const QChar letter = AcceleratorOf(text);
        if (letter.isNull())
            continue;
        members.push_back({shown[i], std::move(text), letter, originalLetter(shown[i], programText), &group[i]});
    }
    for (size_t a = 0; a < members.size(); ++a) {
        for (size_t b = 0; b < members.size(); ++b) {
            const Member &one = members[a], &other = members[b];
            if (a == b || one.entry == other.entry || one.letter != other.letter)
                continue;
            if (!one.was.isNull() && one.was == other.was)
                continue;  // the program itself shares the letter there
            out.push_back(finding(*one.entry, QStringLiteral("accelerator %1 is also used by \"%2\" (\"%3\", %4)")
                                                  .arg(QString(one.letter).toUpper(), other.text,
                                                       other.entry->original, m_program->describe(*other.place))));
        }
    }
}

void AcceleratorClashCheck::judgeAll(const EntryMap &entries, const CheckContext &, std::vector<Finding> &out) const
{
    for (const std::vector<ShownPlace> &group : m_program->groups()) {
        if (group.size() >= 2)
            judgeGroup(group, entriesOf(entries, group), out);
    }
}

void AcceleratorClashCheck::judgeAround(const EntryMap &entries, const StringEntry &changed, const CheckContext &,
                                        std::vector<const StringEntry *> &judged, std::vector<Finding> &out) const
{
    // The entries shown beside the changed one may gain or lose a clash;
    // their findings from every group they are shown in are given again.
    auto groupsOf = [&](const StringEntry &entry, std::set<int> &groups) {
        if (const std::vector<ShownPlace> *places = m_program->placesOf(entry.original)) {
            for (const ShownPlace &place : *places)
                groups.insert(m_program->groupOf(place));
        }
    };
    std::set<int> around;
    groupsOf(changed, around);
    QSet<const StringEntry *> affected = {&changed};
    std::vector<const StringEntry *> mine = {&changed};
    for (int number : around) {
        for (const StringEntry *entry : entriesOf(entries, m_program->groups()[size_t(number)])) {
            if (entry && !affected.contains(entry)) {
                affected.insert(entry);
                mine.push_back(entry);
            }
        }
    }
    judged.insert(judged.end(), mine.begin(), mine.end());
    std::set<int> groups;
    for (const StringEntry *entry : mine)
        groupsOf(*entry, groups);
    std::vector<Finding> found;
    for (int number : groups) {
        const std::vector<ShownPlace> &group = m_program->groups()[size_t(number)];
        judgeGroup(group, entriesOf(entries, group), found);
    }
    for (Finding &finding : found) {
        if (affected.contains(finding.entry))
            out.push_back(std::move(finding));
    }
}
