#include "checks/check_registry.h"

#include "checks/builtin_checks.h"

#include <algorithm>
#include <initializer_list>

const std::vector<std::shared_ptr<const Check>> &BuiltInChecks()
{
    static const CheckList checks = [] {
        CheckList all;
        for (CheckList family : {SaveTimeChecks(), MarkChecks(), SpaceChecks(), NumberChecks(), WordChecks(),
                                 ReferenceChecks()})
            all.insert(all.end(), family.begin(), family.end());
        // The order a set runs them in and listings show them: the errors,
        // then the warnings from the marks a reader sees first to the case
        // of the first letter.
        static const QStringView order[] = {u"placeholders", u"escapes",      u"length",       u"empty",
                                            u"accelerator",  u"end-punctuation", u"whitespace", u"double-space",
                                            u"invisible",    u"numbers",      u"doubled-word", u"urls",
                                            u"brackets",     u"case"};
        auto rank = [](const std::shared_ptr<const Check> &check) {
            return std::find(std::begin(order), std::end(order), QStringView(check->id())) - std::begin(order);
        };
        std::stable_sort(all.begin(), all.end(), [&](const auto &a, const auto &b) { return rank(a) < rank(b); });
        return all;
    }();
    return checks;
}

CheckRegistry::CheckRegistry() : m_builtIn(BuiltInChecks()) {}

const CheckRegistry &CheckRegistry::standard()
{
    static const CheckRegistry registry = [] {
        CheckRegistry made;
        AddDataCheckFactories(made);
        return made;
    }();
    return registry;
}

void CheckRegistry::addFactory(CheckFactory factory) { m_factories.push_back(std::move(factory)); }

std::vector<CheckInfo> CheckRegistry::checks() const
{
    std::vector<CheckInfo> infos;
    for (const std::shared_ptr<const Check> &check : m_builtIn)
        infos.push_back(check->info());
    for (const CheckFactory &factory : m_factories) {
        for (const CheckInfo &info : factory.checks) {
            if (std::none_of(infos.begin(), infos.end(), [&](const CheckInfo &i) { return i.id == info.id; }))
                infos.push_back(info);
        }
    }
    return infos;
}

const CheckInfo *CheckRegistry::find(QStringView id) const
{
    for (const std::shared_ptr<const Check> &check : m_builtIn) {
        if (check->id() == id)
            return &check->info();
    }
    for (const CheckFactory &factory : m_factories) {
        for (const CheckInfo &info : factory.checks) {
            if (info.id == id)
                return &info;
        }
    }
    return nullptr;
}

QString CheckRegistry::idList() const
{
    QStringList ids;
    for (const CheckInfo &info : checks())
        ids.append(info.id);
    return ids.join(QStringLiteral(", "));
}

CheckSet CheckRegistry::makeSet(const CheckTarget &target, QStringList *problems) const
{
    CheckSet set(target.context);
    for (const std::shared_ptr<const Check> &check : m_builtIn)
        set.add(check);
    for (const CheckFactory &factory : m_factories) {
        if (!factory.make)
            continue;
        CheckFactoryResult made = factory.make(target);
        for (std::shared_ptr<const Check> &check : made.checks)
            set.add(std::move(check));
        if (problems)
            problems->append(made.problems);
    }
    return set;
}
