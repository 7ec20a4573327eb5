#pragma once
// Every check the program knows: the built-in ones, and factories that make
// checks needing data of their own (a program's dialog templates, a
// glossary, dictionaries) for one file. The registry lists them all (for the
// switches and the documentation, also those a file gets no data for) and
// builds the CheckSet of a file.

#include "checks/check_set.h"

#include <QStringList>
#include <QVariantMap>
#include <functional>

// What a factory is told about the file whose checks it makes.
struct CheckTarget {
    QString path;           // the language file, or the language folder
    QStringList files;      // a folder's language files (empty for one file)
    CheckContext context;   // language, code type, ratio
    QVariantMap options;    // the caller's settings for data checks ("glossary": a path, ...)
};

struct CheckFactoryResult {
    std::vector<std::shared_ptr<const Check>> checks;
    QStringList problems;   // why a check could not be made ("terms.csv: line 3: ..."), shown to the user
};

struct CheckFactory {
    std::vector<CheckInfo> checks;  // what it can make, listed even for a file it makes none for
    std::function<CheckFactoryResult(const CheckTarget &target)> make;
};

class CheckRegistry {
public:
    // The built-in checks only.
    CheckRegistry();
    // The built-in checks and the factories of AddDataCheckFactories.
    static const CheckRegistry &standard();

    void addFactory(CheckFactory factory);

    // Every check: the built-in ones in their order, then each factory's.
    std::vector<CheckInfo> checks() const;
    const CheckInfo *find(QStringView id) const;
    // The ids of every check, comma-separated (for usage messages).
    QString idList() const;

    // The set of one file: the built-in checks, then what each factory makes
    // of the target; what the factories could not make goes to problems.
    CheckSet makeSet(const CheckTarget &target, QStringList *problems = nullptr) const;

private:
    std::vector<std::shared_ptr<const Check>> m_builtIn;
    std::vector<CheckFactory> m_factories;
};

// The built-in checks, in the order a set runs them: the save-time errors
// (placeholders, escapes, length, empty), then the warnings.
const std::vector<std::shared_ptr<const Check>> &BuiltInChecks();

// Adds the factories of the checks that need data of their own to the
// standard registry: the one place where such a check is hooked in.
void AddDataCheckFactories(CheckRegistry &registry);
