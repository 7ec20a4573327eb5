#include "editor/glossary/glossary_feature.h"

#include "checks/check_language.h"
#include "editor/core/command_actions.h"
#include "editor/glossary/add_term_dlg.h"
#include "editor/glossary/glossary_dlg.h"
#include "glossary/glossary_files.h"
#include "spelling/spelling_languages.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSettings>
#include <QTimer>

namespace {

// The settings: a language code to its chosen files, and to the file Add
// Term wrote to last; files whose name names no language go under "-".
const QString kFilesKey = QStringLiteral("Glossary/Files");
const QString kAddToKey = QStringLiteral("Glossary/AddTo");
const QString kNoLanguage = QStringLiteral("-");
// Dark blue, apart from spelling's red lines.
constexpr QRgb kTermUnderline = qRgb(0, 70, 180);

QString settingsKey(const QString &code) { return code.isEmpty() ? kNoLanguage : code; }

QString cleanPath(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

// A short text (one to three words) as a term: its words without
// accelerator marks and end punctuation; empty for a longer text.
QString asTerm(const QString &text)
{
    const std::vector<TermWord> words = SplitTermWords(text);
    if (words.empty() || words.size() > 3)
        return QString();
    QString term;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            term += words[i].gap == WordGap::Hyphen ? QStringLiteral("-") : QStringLiteral(" ");
        term += words[i].text;
    }
    return term;
}

// A term put at the start of the text, or after the end of a sentence,
// starts with a capital.
bool needsCapital(QStringView before)
{
    qsizetype at = before.size();
    while (at > 0 && (before[at - 1].isSpace() || QStringView(u"\"'(\u201E\u201C\u00AB\u00BB\u2018\u201A").contains(before[at - 1])))
        --at;
    return at == 0 || QStringView(u".!?\u2026").contains(before[at - 1]);
}

QString capitalised(const QString &term)
{
    if (term.isEmpty() || !term[0].isLower())
        return term;
    return term[0].toUpper() + term.mid(1);
}

QString statusText(TermStatus status)
{
    switch (status) {
    case TermStatus::Forbidden:
        return GlossaryFeature::tr("forbidden");
    case TermStatus::DoNotTranslate:
        return GlossaryFeature::tr("kept as it is");
    case TermStatus::Preferred:
        break;
    }
    return GlossaryFeature::tr("preferred");
}

// The terms an entry gives the translation: its target terms, or a name
// kept as it is; a forbidden entry gives none.
QStringList givenTerms(const GlossaryEntry &entry)
{
    if (entry.status == TermStatus::Forbidden)
        return {};
    if (entry.status == TermStatus::DoNotTranslate && entry.targets.isEmpty())
        return {entry.source};
    return entry.targets;
}

} // namespace

GlossaryFeature::GlossaryFeature(CRendaroView &view, CommandActions *commands)
    : m_view(view), m_commands(commands), m_dock(new CTermsDock(&view)), m_watcher(new QFileSystemWatcher(this)),
      m_reloadTimer(new QTimer(this)), m_glossary(std::make_shared<const Glossary>())
{
    m_dock->hide();
    m_underlineId = view.grid()->AddCellUnderlines(0, kTermUnderline, [this](int row) { return underlinesOf(row); });
    connect(&view, &CRendaroView::shownChanged, this, &GlossaryFeature::reloadNow);
    connect(&view, &CRendaroView::closed, this, &GlossaryFeature::reloadNow);
    connect(&view, &CRendaroView::selectionChanged, this, &GlossaryFeature::followSelection);
    connect(view.grid(), &CReportCtrl::editingChanged, this, &GlossaryFeature::followSelection);
    // A file written is often replaced (a safe save) rather than changed:
    // its folder is watched too, and every change waits a moment so that a
    // save's steps are read once.
    m_reloadTimer->setSingleShot(true);
    m_reloadTimer->setInterval(100);
    connect(m_reloadTimer, &QTimer::timeout, this, &GlossaryFeature::reloadNow);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString &path) {
        m_dirty.append(path);
        m_reloadTimer->start();
    });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_reloadTimer, qOverload<>(&QTimer::start));
    view.addKeyHandler(this, [this](QKeyEvent *event, bool isShortcutOverride) {
        return handleKey(event, isShortcutOverride);
    });
    if (commands) {
        commands->handle(Command::Glossary, this, &GlossaryFeature::OnGlossary);
        commands->handle(Command::AddTerm, this, &GlossaryFeature::OnAddTerm);
        connect(&view, &CRendaroView::commandStatesChanged, this, &GlossaryFeature::updateCommandStates);
        updateCommandStates();
    }
    reloadNow();
}

GlossaryFeature::~GlossaryFeature()
{
    m_view.grid()->RemoveCellUnderlines(m_underlineId);
    delete m_dock;
}

void GlossaryFeature::setSettings(QSettings *settings)
{
    m_settings = settings;
    reloadNow();
}

QStringList GlossaryFeature::chosenFiles(const QString &languageCode) const
{
    const QVariantMap all = m_settings ? m_settings->value(kFilesKey).toMap() : m_chosen;
    return all.value(settingsKey(languageCode)).toStringList();
}

void GlossaryFeature::setChosenFiles(const QString &languageCode, const QStringList &files)
{
    QVariantMap all = m_settings ? m_settings->value(kFilesKey).toMap() : m_chosen;
    if (files.isEmpty())
        all.remove(settingsKey(languageCode));
    else
        all.insert(settingsKey(languageCode), files);
    if (m_settings)
        m_settings->setValue(kFilesKey, all);
    else
        m_chosen = all;
}

void GlossaryFeature::updateCommandStates()
{
    const bool shownFile = !shown().path.isEmpty();
    m_commands->action(Command::Glossary)->setEnabled(shownFile);
    m_commands->action(Command::AddTerm)->setEnabled(shownFile && m_view.grid()->GetItemCount() > 0);
}

GlossaryFeature::Shown GlossaryFeature::shown() const
{
    Shown s;
    const QString &path = m_view.currentPath();
    CheckLanguage language;
    if (m_view.currentCatalogueId() == 0) {
        s.path = path.endsWith(QStringLiteral("/*")) ? path.chopped(2) : path;
        language = CheckLanguageForCode(LanguageCodeFromPaths(m_view.shownFiles()));
    } else if (m_view.currentCatalogueId() > 0) {
        s.path = path;
        language = CheckLanguageForPath(path);
    }
    s.code = language.code;
    s.tag = language.tag;
    return s;
}

GlossaryFeature::Shown GlossaryFeature::targetOf(const CheckTarget &target) const
{
    return Shown{target.path, target.context.language.code, target.context.language.tag};
}

QStringList GlossaryFeature::filesFor(const Shown &shown) const
{
    if (shown.path.isEmpty() || shown.path == u"-")
        return {};
    QStringList files;
    for (const QString &file : chosenFiles(shown.code) + FindGlossaryFiles(shown.path)) {
        const QString clean = cleanPath(file);
        if (!files.contains(clean))
            files.append(clean);
    }
    return files;
}

bool GlossaryFeature::load(const Shown &shown)
{
    const QStringList files = filesFor(shown);
    bool changed = files != m_files || shown.tag != m_loadedTag;
    if (shown.tag != m_loadedTag)
        m_reads.clear();  // a TBX file gives each language its own terms
    m_loadedPath = shown.path;
    m_loadedTag = shown.tag;
    m_files = files;
    for (const QString &path : files) {
        const QFileInfo info(path);
        auto known = m_reads.constFind(path);
        if (known != m_reads.constEnd() && !m_dirty.contains(path) && known->modified == info.lastModified()
            && known->size == info.size())
            continue;
        FileRead read;
        read.modified = info.lastModified();
        read.size = info.exists() ? info.size() : -1;
        read.read = ReadGlossaryFile(path, shown.tag);
        // A file written again with the same terms changes nothing.
        const bool same = known != m_reads.constEnd() && known->read.error == read.read.error
                          && known->read.problems == read.read.problems
                          && known->read.glossary.entries == read.read.glossary.entries;
        m_reads.insert(path, std::move(read));
        changed = changed || !same;
    }
    m_dirty.clear();
    for (auto it = m_reads.begin(); it != m_reads.end();) {
        if (files.contains(it.key()))
            ++it;
        else
            it = m_reads.erase(it);
    }
    if (!changed)
        return false;

    Glossary glossary;
    glossary.language = shown.tag;
    m_problems.clear();
    for (const QString &path : files) {
        const GlossaryRead &read = m_reads[path].read;
        const QString name = QFileInfo(path).fileName();
        if (!read.ok()) {
            m_problems.append(tr("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), read.error));
            continue;
        }
        for (const QString &problem : read.problems)
            m_problems.append(QStringLiteral("%1: %2").arg(name, problem));
        glossary.entries.insert(glossary.entries.end(), read.glossary.entries.begin(), read.glossary.entries.end());
    }
    m_glossary = std::make_shared<const Glossary>(std::move(glossary));
    m_index.reset();
    if (!m_glossary->entries.empty()) {
        if (!m_english)
            m_english = std::make_unique<WordStems>(QStringLiteral("en_US"));
        m_index = std::make_unique<TermIndex>(*m_glossary, *m_english);
    }
    // A glossary that cannot be read is said once; the rest is used.
    const QString said = m_problems.join(QStringLiteral("; "));
    if (!said.isEmpty() && said != m_problemsSaid)
        m_view.showStatus(tr("Glossary: %1").arg(said));
    m_problemsSaid = said;
    return true;
}

void GlossaryFeature::addCheckOptions(const CheckTarget &target, QVariantMap &options)
{
    // The view asks for the checks of a file it shows before it says it
    // shows it: the glossary is read then.
    const Shown wanted = targetOf(target);
    if (wanted.path != m_loadedPath || wanted.tag != m_loadedTag) {
        load(wanted);
        watch();
    }
    options.insert(QStringLiteral("glossary-entries"), QVariant::fromValue(SharedGlossary(m_glossary)));
}

void GlossaryFeature::reloadNow()
{
    if (load(shown()))
        emit glossaryChanged();
    watch();
    m_row = -2;  // the terms of the row are found again
    followSelection();
}

// The files in use and their folders (a safe save replaces a file; a new
// shared glossary appears in the language file's folder).
void GlossaryFeature::watch()
{
    QStringList files, folders;
    for (const QString &path : std::as_const(m_files)) {
        if (QFileInfo::exists(path))
            files.append(path);
        folders.append(QFileInfo(path).absolutePath());
    }
    if (!m_loadedPath.isEmpty() && m_loadedPath != u"-") {
        const QFileInfo info(m_loadedPath);
        folders.append(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    }
    folders.removeDuplicates();
    const QStringList watchedFiles = m_watcher->files(), watchedFolders = m_watcher->directories();
    if (!watchedFiles.isEmpty())
        m_watcher->removePaths(watchedFiles);
    if (!watchedFolders.isEmpty())
        m_watcher->removePaths(watchedFolders);
    if (!files.isEmpty())
        m_watcher->addPaths(files);
    QStringList existing;
    for (const QString &folder : std::as_const(folders)) {
        if (QFileInfo(folder).isDir())
            existing.append(folder);
    }
    if (!existing.isEmpty())
        m_watcher->addPaths(existing);
}

void GlossaryFeature::followSelection()
{
    CReportCtrl *grid = m_view.grid();
    const int row = grid->isEditing() ? grid->editRow() : grid->FirstSelectedRow();
    const QString original = row >= 0 ? m_view.DisplayedToOriginal(row) : QString();
    if (row == m_row && original == m_original)
        return;
    m_row = row;
    m_original = original;
    m_matches.clear();
    m_rowTerms.clear();
    m_insertable.clear();
    if (m_index && !original.isEmpty())
        m_matches = m_index->find(original, *m_english);
    std::vector<CTermsDock::Line> lines;
    for (const TermMatch &match : m_matches) {
        for (int e : m_index->groups()[size_t(match.group)].entries) {
            m_rowTerms.push_back({match.start, match.end, e});
            const GlossaryEntry &entry = m_glossary->entries[size_t(e)];
            CTermsDock::Line line;
            line.source = entry.source;
            line.note = entry.note;
            line.status = statusText(entry.status);
            const QStringList given = givenTerms(entry);
            line.targets = entry.status == TermStatus::Forbidden ? entry.targets : given;
            for (const QString &term : std::as_const(line.targets)) {
                int key = 0;
                if (entry.status != TermStatus::Forbidden) {
                    if (!m_insertable.contains(term) && m_insertable.size() < 9)
                        m_insertable.append(term);
                    key = int(m_insertable.indexOf(term)) + 1;
                }
                line.keys.append(key);
            }
            lines.push_back(std::move(line));
        }
    }
    QStringList notes;
    const Shown s = shown();
    if (s.path.isEmpty())
        notes.append(tr("Open a language file to see the glossary terms of its strings."));
    else if (m_files.isEmpty())
        notes.append(tr("No glossary for %1. Tool > Glossary... chooses one; a glossary.csv or glossary.tbx in the "
                        "language folder or a folder above it is used by itself.")
                         .arg(languageName(s)));
    if (!m_problems.isEmpty())
        notes.append(tr("Not read: %1").arg(m_problems.join(QStringLiteral("; "))));
    if (!s.path.isEmpty() && !m_files.isEmpty()) {
        if (row < 0)
            notes.append(tr("Select a string to see its terms."));
        else if (lines.empty())
            notes.append(tr("No glossary term in this string."));
    }
    m_dock->showTerms(lines, notes.join(u'\n'));
    grid->MarksChanged();
}

QList<CellUnderline> GlossaryFeature::underlinesOf(int row) const
{
    // Only where column 0 shows the original itself (not a reference's text).
    if (row != m_row || m_matches.empty() || m_view.grid()->GetItemText(row, 0) != m_original)
        return {};
    QList<CellUnderline> underlines;
    for (const TermMatch &match : m_matches) {
        QStringList lines;
        for (int e : m_index->groups()[size_t(match.group)].entries) {
            const GlossaryEntry &entry = m_glossary->entries[size_t(e)];
            QString line;
            switch (entry.status) {
            case TermStatus::Preferred:
                line = tr("%1: %2").arg(entry.source, entry.targets.join(QStringLiteral(", ")));
                break;
            case TermStatus::Forbidden:
                line = tr("%1: not %2").arg(entry.source, entry.targets.join(QStringLiteral(", ")));
                break;
            case TermStatus::DoNotTranslate:
                line = tr("%1: kept as it is").arg(entry.source);
                break;
            }
            if (!entry.note.isEmpty())
                line += tr(" (%1)").arg(entry.note);
            lines.append(line);
        }
        underlines.append({int(match.start), int(match.end - match.start), lines.join(u'\n')});
    }
    return underlines;
}

bool GlossaryFeature::insertTerm(int number)
{
    followSelection();
    if (number < 1 || number > m_insertable.size())
        return false;
    QString term = m_insertable[number - 1];
    CReportCtrl *grid = m_view.grid();
    QLineEdit *editor = grid->editor();
    if (!grid->isEditing() || grid->editColumn() != 1) {
        const int row = grid->FirstSelectedRow();
        if (row < 0)
            return false;
        // An untranslated string starts with the term (the editor opens with
        // its text selected); a translated one gets it at its end.
        const StringEntry *entry = m_view.RowEntry(row);
        const bool untranslated = !entry || entry->translation.isEmpty() || entry->translation == entry->original;
        if (!grid->StartEdit(1, row))
            return false;
        if (!untranslated) {
            editor->end(false);
            if (!editor->text().isEmpty() && !editor->text().back().isSpace())
                editor->insert(QStringLiteral(" "));
        }
    }
    const int at = editor->hasSelectedText() ? editor->selectionStart() : editor->cursorPosition();
    // A name kept as it is keeps its letters.
    bool kept = false;
    for (const RowTerm &rowTerm : m_rowTerms) {
        const GlossaryEntry &entry = m_glossary->entries[size_t(rowTerm.entry)];
        kept = kept || (entry.status == TermStatus::DoNotTranslate && givenTerms(entry).contains(term));
    }
    if (!kept && needsCapital(QStringView(editor->text()).left(at)))
        term = capitalised(term);
    editor->insert(term);
    return true;
}

// Alt+1 ... Alt+9, also while the in-place editor has the focus.
bool GlossaryFeature::handleKey(QKeyEvent *event, bool isShortcutOverride)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::AltModifier || event->key() < Qt::Key_1 || event->key() > Qt::Key_9
        || m_view.grid()->GetItemCount() == 0)
        return false;
    if (isShortcutOverride) {
        event->accept();
        return true;
    }
    const int number = event->key() - Qt::Key_0;
    if (!insertTerm(number))
        m_view.showStatus(m_insertable.isEmpty() ? tr("The string has no glossary term to insert.")
                                                 : tr("The string has no term %1 to insert (Alt+1 ... Alt+%2).")
                                                       .arg(number)
                                                       .arg(m_insertable.size()));
    return true;
}

QString GlossaryFeature::languageName(const Shown &shown) const
{
    if (shown.code.isEmpty())
        return tr("files whose name names no language");
    const QLocale locale(shown.tag);
    if (shown.tag.isEmpty() || locale.language() == QLocale::C)
        return shown.code;
    return QStringLiteral("%1 (%2)").arg(QLocale::languageToString(locale.language()), shown.code);
}

void GlossaryFeature::OnGlossary()
{
    const Shown s = shown();
    if (s.path.isEmpty())
        return;
    const QFileInfo info(s.path);
    CGlossaryDlg dialog(m_view.prompts(), languageName(s), info.isDir() ? info.absoluteFilePath() : info.absolutePath(),
                        m_view.window());
    dialog.setFiles(chosenFiles(s.code), FindGlossaryFiles(s.path));
    if (!m_view.prompts().runDialog(dialog))
        return;
    setChosenFiles(s.code, dialog.files());
    reloadNow();
    m_view.showStatus(m_files.isEmpty() ? tr("No glossary is used for %1.").arg(languageName(s))
                                        : tr("%n glossary term(s) for %1.", nullptr, int(m_glossary->entries.size()))
                                              .arg(languageName(s)));
}

void GlossaryFeature::OnAddTerm()
{
    const Shown s = shown();
    CReportCtrl *grid = m_view.grid();
    const bool editing = grid->isEditing() && grid->editColumn() == 1;
    const int row = editing ? grid->editRow() : grid->FirstSelectedRow();
    if (s.path.isEmpty() || row < 0)
        return;
    const QString original = m_view.DisplayedToOriginal(row);
    const StringEntry *entry = m_view.RowEntry(row);
    QLineEdit *editor = grid->editor();
    const QString translation = editing ? editor->text() : entry ? entry->translation : QString();
    const bool translated = !translation.isEmpty() && translation != original;

    // The words selected in the editor, else a short original and
    // translation taken whole; the dialog takes words selected in them.
    GlossaryEntry proposed;
    proposed.source = asTerm(original);
    const QString target = editing && editor->hasSelectedText() ? editor->selectedText().simplified()
                           : translated                         ? asTerm(translation)
                                                                : QString();
    if (!target.isEmpty())
        proposed.targets = QStringList{target};
    if (!proposed.source.isEmpty() && target == proposed.source)
        proposed.status = TermStatus::DoNotTranslate;

    QStringList writable;
    for (const QString &file : std::as_const(m_files)) {
        const GlossaryFormat format = GlossaryFormatForPath(file);
        if (format == GlossaryFormat::Tbx || format == GlossaryFormat::Csv || format == GlossaryFormat::Tsv)
            writable.append(file);
    }
    const QVariantMap addTo = m_settings ? m_settings->value(kAddToKey).toMap() : QVariantMap();
    CAddTermDlg dialog(m_view.prompts(), original, translation, m_view.window());
    dialog.setEntry(proposed);
    dialog.setFiles(writable, addTo.value(settingsKey(s.code)).toString());
    if (!m_view.prompts().runDialog(dialog))
        return;
    const QString file = cleanPath(dialog.file());
    const GlossaryEntry added = dialog.entry();
    QString error;
    if (!AppendGlossaryEntry(file, added, s.tag, &error)) {
        m_view.ask(tr("The term could not be added to %1:\n%2").arg(QDir::toNativeSeparators(file), error),
                   PromptIcon::Exclamation, PromptButtons::Ok);
        return;
    }
    if (m_settings) {
        QVariantMap all = addTo;
        all.insert(settingsKey(s.code), file);
        m_settings->setValue(kAddToKey, all);
    }
    if (!m_files.contains(file))
        setChosenFiles(s.code, chosenFiles(s.code) << file);
    m_dirty.append(file);
    reloadNow();
    m_view.showStatus(tr("\"%1\" was added to %2.")
                          .arg(added.source.isEmpty() ? added.targets.value(0) : added.source,
                               QFileInfo(file).fileName()));
}
