#pragma once
// The glossary in the editor: which glossary files serve the shown file or
// folder (Tool > Glossary... chooses them per language, kept in the
// settings; a shared glossary.tbx or glossary.csv in the language folder or
// above it is used without being chosen), read once and read again when
// they change on disk; the terms of the selected row underlined in its
// original and listed in View > Terms; Alt+1 ... Alt+9 putting a target
// term into the translation; Tool > Add Term... adding an entry to a
// glossary file. EditorFeatures hands addCheckOptions to the checks
// feature, so the term checks judge with the glossary held here.

#include "checks/check_registry.h"
#include "editor/core/rendaro_view.h"
#include "editor/glossary/terms_dock.h"
#include "glossary/term_matcher.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <memory>

class CommandActions;
class QFileSystemWatcher;
class QSettings;
class QTimer;

class GlossaryFeature : public QObject {
    Q_OBJECT
public:
    GlossaryFeature(CRendaroView &view, CommandActions *commands);
    ~GlossaryFeature() override;

    // The files chosen per language are kept in `settings` (the main
    // window's); without settings, as long as the feature lives.
    void setSettings(QSettings *settings);
    // The files chosen for a language code ("DEU"; empty: files whose name
    // names no language).
    QStringList chosenFiles(const QString &languageCode) const;
    void setChosenFiles(const QString &languageCode, const QStringList &files);

    // The glossary files of what is shown (chosen, then shared), and the
    // glossary they make together.
    const QStringList &files() const { return m_files; }
    const Glossary &glossary() const { return *m_glossary; }
    // Why a file or some of its rows could not be read ("g.csv: line 3: ...").
    const QStringList &problems() const { return m_problems; }
    // The checks' option "glossary-entries" for a shown file or folder.
    void addCheckOptions(const CheckTarget &target, QVariantMap &options);

    // The terms of the selected row (or the row being edited), in the order
    // of the original; one line per glossary entry.
    struct RowTerm {
        qsizetype start = 0, end = 0;  // in the original
        int entry = 0;                 // in glossary()
    };
    const std::vector<RowTerm> &rowTerms() const { return m_rowTerms; }
    // The target terms Alt+1 ... Alt+9 insert, in order.
    const QStringList &insertable() const { return m_insertable; }
    // Puts the Nth insertable term (from 1) into the in-place editor at the
    // cursor, or starts the edit with it; false when there is no such term.
    bool insertTerm(int number);

    // The dock (View > Terms); the main window places it.
    CTermsDock *dock() const { return m_dock; }

    void OnGlossary();
    void OnAddTerm();

signals:
    // The glossary of what is shown changed: the checks are made again.
    void glossaryChanged();

private:
    struct FileRead {
        QDateTime modified;
        qint64 size = -1;
        GlossaryRead read;
    };
    struct Shown {
        QString path;  // the file, or the language folder
        QString code;  // its language code
        QString tag;   // its language tag
    };
    Shown shown() const;
    Shown targetOf(const CheckTarget &target) const;
    QStringList filesFor(const Shown &shown) const;
    // Reads what changed; true when the glossary did.
    bool load(const Shown &shown);
    void reloadNow();
    void watch();
    void followSelection();
    void updateCommandStates();
    bool handleKey(QKeyEvent *event, bool isShortcutOverride);
    QList<CellUnderline> underlinesOf(int row) const;
    QString languageName(const Shown &shown) const;

    CRendaroView &m_view;
    CommandActions *m_commands;
    QSettings *m_settings = nullptr;
    QVariantMap m_chosen;  // without settings
    QPointer<CTermsDock> m_dock;
    int m_underlineId = 0;
    QFileSystemWatcher *m_watcher;
    QTimer *m_reloadTimer;

    QString m_loadedPath, m_loadedTag;
    QStringList m_files;
    QHash<QString, FileRead> m_reads;  // by path
    QStringList m_dirty;               // files the watcher saw change
    std::shared_ptr<const Glossary> m_glossary;
    QStringList m_problems;
    QString m_problemsSaid;
    std::unique_ptr<WordStems> m_english;
    std::unique_ptr<TermIndex> m_index;

    int m_row = -1;
    QString m_original;
    std::vector<TermMatch> m_matches;
    std::vector<RowTerm> m_rowTerms;
    QStringList m_insertable;
};
