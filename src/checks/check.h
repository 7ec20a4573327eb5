#pragma once
// One check of translations against their originals (see README.md in this
// folder). A check is an object with a stable id, a name and a severity; it
// judges one entry at a time (PerEntryCheck) or the whole catalogue
// (CatalogueCheck) and reports findings: an entry, the check, a severity and
// a message saying what differs. The built-in checks need nothing but the
// texts and the file's context; checks that need data of their own (dialog
// templates, a glossary, dictionaries) are constructed with it and added to
// a file's CheckSet beside the built-in ones.

#include "catalogue/catalogue_types.h"
#include "checks/check_language.h"

#include <QString>
#include <cstdint>
#include <vector>

enum class Severity {
    Error,    // blocks an edit and a save
    Warning,  // shown, counted and listed; never blocks
};

// "error" or "warning", as the command line prints it.
const char *SeverityName(Severity severity);

struct CheckInfo {
    QString id;         // stable: switches, ignore marks and output name the check by it ("end-punctuation")
    QString name;       // for people: "End punctuation"
    Severity severity;  // of its findings (a finding may say otherwise: placeholders warns of positional ones)
    QString rule;       // what it asks of a translation, in one sentence
};

// What every check of one file knows about the file.
struct CheckContext {
    CheckLanguage language;     // from the file's name
    int codeType = CodeTypeCpp; // the placeholder style (CodeType)
    float lengthRatio = 2.0f;   // AllowLength
};

class Check;

struct Finding {
    const StringEntry *entry = nullptr;  // the entry judged
    const Check *check = nullptr;        // owned by the set that judged it
    Severity severity = Severity::Warning;
    QString message;                     // what differs, with the texts involved
    int messageId = 0;                   // the save-time errors' message number (messages.h); 0 otherwise
    bool ignored = false;                // an ignore mark dismisses it (ignore_marks.h)

    const QString &checkId() const;
};

// Which characters a text holds, found in one pass over it and handed to
// every check of the entry, so that a check can skip a text that cannot
// fail it without scanning it again.
struct TextTraits {
    enum Bit : std::uint32_t {
        Ampersand = 1u << 0,    // "&"
        Percent = 1u << 1,      // "%"
        Backslash = 1u << 2,    // "\"
        Digit = 1u << 3,        // any decimal digit, of any script
        Bracket = 1u << 4,      // ()[]{} or their full-width forms
        At = 1u << 5,           // "@"
        Colon = 1u << 6,        // ":" (URL schemes)
        Www = 1u << 7,          // "www." (any case)
        DoubleSpace = 1u << 8,  // two spaces in a row
        Invisible = 1u << 9,    // zero-width, format or control characters
        Space = 1u << 10,       // any space character
    };
    std::uint32_t bits = 0;
    bool has(std::uint32_t bit) const { return (bits & bit) != 0; }

    static TextTraits of(QStringView text);
};

// The entry a per-entry check judges, with the traits of its two texts.
// The entry may be a copy made for a text being typed.
struct CheckedEntry {
    const StringEntry &entry;
    TextTraits original, translation;

    // Either text has the trait.
    bool either(std::uint32_t bit) const { return original.has(bit) || translation.has(bit); }
};

class Check {
public:
    explicit Check(CheckInfo info) : m_info(std::move(info)) {}
    virtual ~Check() = default;
    Check(const Check &) = delete;
    Check &operator=(const Check &) = delete;

    const CheckInfo &info() const { return m_info; }
    const QString &id() const { return m_info.id; }
    Severity severity() const { return m_info.severity; }

    // A finding of this check on entry, of its own severity.
    Finding finding(const StringEntry &entry, QString message) const;

private:
    CheckInfo m_info;
};

// A check that judges each entry on its own. The set never calls a check
// of severity Warning for a translation that is empty or equal to its
// original (such translations raise no warning), and drops the warnings of
// the other checks there.
class PerEntryCheck : public Check {
public:
    using Check::Check;
    // Appends a finding to out for each fault of the entry.
    virtual void judge(const CheckedEntry &entry, const CheckContext &context, std::vector<Finding> &out) const = 0;
};

// A check that judges several entries together (all items of one menu
// popup or dialog) and reports a finding on each entry involved.
class CatalogueCheck : public Check {
public:
    using Check::Check;
    // Every finding over the entries of a catalogue.
    virtual void judgeAll(const EntryMap &entries, const CheckContext &context, std::vector<Finding> &out) const = 0;
    // After `changed` changed (or was added): appends to judged every entry
    // whose findings of this check may differ now (the groups holding
    // `changed`, itself included), and to out the findings of those entries.
    // The default judges everything again; a check should do better, since
    // the editor calls this after every edit.
    virtual void judgeAround(const EntryMap &entries, const StringEntry &changed, const CheckContext &context,
                             std::vector<const StringEntry *> &judged, std::vector<Finding> &out) const;
};
