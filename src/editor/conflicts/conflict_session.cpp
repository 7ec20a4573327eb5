#include "editor/conflicts/conflict_session.h"

#include "catalogue/catalogue_types.h"
#include "catalogue/document.h"
#include "catalogue/entry_edits.h"
#include "catalogue/file_text.h"
#include "memory/pretranslate.h"
#include "editor/core/rendaro_view.h"

#include <QFile>
#include <QFileInfo>
#include <QUndoStack>

namespace {

bool isTranslation(const MergeConflict &conflict)
{
    return conflict.kind == MergeConflict::Kind::Attribute && conflict.attribute == u"to";
}

const std::optional<QString> &versionOf(const MergeConflict &conflict, ConflictChoice choice)
{
    switch (choice) {
    case ConflictChoice::Base: return conflict.base;
    case ConflictChoice::Theirs: return conflict.theirs;
    default: return conflict.ours;
    }
}

} // namespace

ConflictRoute RouteOfConflict(const MergeConflict &conflict)
{
    if (conflict.kind == MergeConflict::Kind::Attribute
        && (conflict.attribute == u"to" || conflict.attribute == u"IsTrans"))
        return ConflictRoute::Entry;
    if (conflict.kind == MergeConflict::Kind::Setting
        && (conflict.attribute == u"AllowLength" || conflict.attribute == u"CodeType"))
        return ConflictRoute::Setting;
    return ConflictRoute::File;
}

ConflictSession::ConflictSession(CRendaroView &view, const QString &languageFile, ConflictsFile conflicts)
    : m_view(view), m_languageFile(languageFile)
{
    for (MergeConflict &conflict : conflicts.conflicts) {
        Item item;
        item.conflict = std::move(conflict);
        m_items.push_back(std::move(item));
    }
    connect(view.undoStack(), &QUndoStack::indexChanged, this, &ConflictSession::historyChanged);
    // Each save leaves the conflicts file listing what is still open.
    connect(&view, &CRendaroView::saved, this, [this] {
        QString error;
        if (m_view.currentPath() == m_languageFile && !writeOpenConflicts(&error))
            m_view.showStatus(error);
    });
}

QUndoStack *ConflictSession::undoStack() const { return m_view.undoStack(); }

bool ConflictSession::stepInEffect(const Item &item) const
{
    const QUndoStack *stack = m_view.undoStack();
    if (!item.command || stack->index() < item.index)
        return false;
    const QUndoCommand *step = stack->command(item.index - 1);
    return step == item.command && step->text() == item.stepName;
}

bool ConflictSession::isResolved(int index) const
{
    const Item &item = m_items[size_t(index)];
    return item.settled || stepInEffect(item);
}

int ConflictSession::resolvedCount() const
{
    int resolved = 0;
    for (int index = 0; index < count(); ++index)
        resolved += isResolved(index) ? 1 : 0;
    return resolved;
}

// A history that ends (a save after strings were added, a file read again)
// takes its steps along but not their changes: what was resolved stays so.
void ConflictSession::historyChanged()
{
    const bool historyEnded = m_view.undoStack()->count() == 0;
    for (Item &item : m_items) {
        if (!item.command)
            continue;
        if (historyEnded) {
            item.settled = item.lastResolved;
            item.command = nullptr;
        } else {
            item.lastResolved = stepInEffect(item);
        }
    }
    emit changed();
}

std::optional<QString> ConflictSession::shownValue(int index, ConflictChoice version) const
{
    const MergeConflict &conflict = this->conflict(index);
    const std::optional<QString> &value = versionOf(conflict, version);
    if (value && isTranslation(conflict))
        return UnescapeFromFile(*value);
    return value;
}

bool ConflictSession::resolve(int index, ConflictChoice choice, const QString &edited, QString *error)
{
    if (index < 0 || index >= count() || isResolved(index)) {
        *error = tr("This conflict is resolved already.");
        return false;
    }
    const bool done = RouteOfConflict(conflict(index)) == ConflictRoute::File
        ? resolveInFile(index, choice, edited, error)
        : resolveThroughView(index, choice, edited, error);
    if (done)
        emit changed();
    return done;
}

bool ConflictSession::resolveThroughView(int index, ConflictChoice choice, const QString &edited, QString *error)
{
    Item &item = m_items[size_t(index)];
    const MergeConflict &conflict = item.conflict;
    const QString stepName = tr("Resolve Conflict %1").arg(index + 1);
    const std::optional<QString> value =
        choice == ConflictChoice::Edited ? std::optional<QString>(edited) : versionOf(conflict, choice);
    const int catalogueId = m_view.currentCatalogueId();
    QUndoStack *stack = m_view.undoStack();
    const int indexBefore = stack->index();
    if (conflict.kind == MergeConflict::Kind::Setting) {
        CatalogueSettings settings = ReadCatalogueSettings(*theDocument(), catalogueId);
        if (conflict.attribute == u"AllowLength") {
            settings.lengthRatio = value ? ParseLengthRatio(*value) : 2.0f;
        } else if (value && value->trimmed().compare(QStringLiteral("QT"), Qt::CaseInsensitive) == 0) {
            settings.codeType = CodeTypeQt;
        } else {
            settings.codeType = CodeTypeCpp;
        }
        m_view.applyStep(stepName, {}, StepKind::Replay, &settings);
    } else {
        const QString original = UnescapeFromFile(conflict.location.original);
        const CXMLStruct *shown = m_view.shownCatalogue();
        const StringEntry *entry = shown ? shown->entries.lookup(original) : nullptr;
        if (!entry) {
            *error = tr("The shown file has no string \"%1\".").arg(original);
            return false;
        }
        EntryTarget target{original, entry->translation, entry->translatable};
        if (conflict.attribute == u"to") {
            // No translation, or an empty one, leaves the string untranslated.
            const QString text = choice == ConflictChoice::Edited ? edited : value ? UnescapeFromFile(*value) : QString();
            target.translation = text.isEmpty() ? original : text;
            // A placeholder or line break that does not fit is refused, as an edit is.
            const CheckResult check = CheckSuggestion(original, target.translation, shown->codeType);
            if (!check.ok) {
                *error = check.message;
                return false;
            }
        } else {
            target.translatable = value && value->trimmed().compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0 ? 0 : 1;
        }
        m_view.applyStep(stepName, {target});
    }
    if (stack->index() == indexBefore + 1) {
        item.command = stack->command(stack->index() - 1);
        item.stepName = item.command->text();
        item.index = stack->index();
        item.lastResolved = true;
    } else {
        item.settled = true;  // the file held that value already
    }
    return true;
}

bool ConflictSession::resolveInFile(int index, ConflictChoice choice, const QString &edited, QString *error)
{
    // The file on disk takes the choice: it must hold every change first.
    if (!m_view.PromptSave() || m_view.isModified()) {
        *error = tr("This choice is written into %1 at once, so the file is saved first.").arg(m_languageFile);
        return false;
    }
    // The conflicts file then lists exactly the open conflicts, in order.
    if (!writeOpenConflicts(error))
        return false;
    int onDisk = 0;
    for (int other = 0; other < index; ++other)
        onDisk += isResolved(other) ? 0 : 1;
    if (!ResolveConflict(m_languageFile, onDisk, choice, edited, error))
        return false;
    ConflictsFile rest;
    const QString path = conflictsFile();
    if (QFile::exists(path) && !ReadConflictsFile(path, &rest, error))
        return false;
    m_reloading = true;
    m_view.reloadShown();
    m_reloading = false;
    m_items[size_t(index)].settled = true;
    // The open conflicts follow the elements they name, as written again.
    size_t next = 0;
    for (int other = 0; other < count(); ++other) {
        if (!isResolved(other) && next < rest.conflicts.size())
            m_items[size_t(other)].conflict = rest.conflicts[next++];
    }
    return true;
}

bool ConflictSession::writeOpenConflicts(QString *error)
{
    ConflictsFile open;
    open.file = QFileInfo(m_languageFile).fileName();
    for (int index = 0; index < count(); ++index) {
        if (!isResolved(index))
            open.conflicts.push_back(conflict(index));
    }
    const QString path = conflictsFile();
    if (!open.conflicts.empty())
        return WriteConflictsFile(path, open, error);
    QFile file(path);
    if (!file.exists() || file.remove())
        return true;
    *error = tr("Can not remove %1: %2").arg(path, file.errorString());
    return false;
}
