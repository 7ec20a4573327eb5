// The warnings of the shown entries: the check source's set judges every
// entry (in slices on a large catalogue, so that showing a file never waits
// for it), and each change of an entry costs that entry's checks (with the
// groups of the catalogue checks it belongs to).

#include "editor/core/rendaro_view.h"

#include "catalogue/document.h"
#include "checks/check_language.h"
#include "spelling/spelling_languages.h"

#include <QTimer>

void CRendaroView::setCheckSource(CheckSource *source)
{
    m_checkSource = source;
    checksChanged();
}

void CRendaroView::checksChanged()
{
    m_checksStale = true;
    restartFindings();
    emit countsUpdated();
}

// What the checks are made for: the shown file, or the folder with its
// files (whose names give the language).
CheckTarget CRendaroView::checkTarget(const CXMLStruct &catalogue) const
{
    CheckTarget target;
    if (m_catalogueId == 0) {
        target.path = m_path.endsWith(QStringLiteral("/*")) ? m_path.chopped(2) : m_path;
        target.files = shownFiles();
        target.context.language = CheckLanguageForCode(LanguageCodeFromPaths(target.files));
    } else {
        target.path = m_path;
        target.context.language = CheckLanguageForPath(m_path);
    }
    target.context.codeType = catalogue.codeType;
    target.context.lengthRatio = catalogue.lengthRatio;
    return target;
}

void CRendaroView::restartFindings()
{
    if (!m_findingsTimer) {
        m_findingsTimer = new QTimer(this);
        m_findingsTimer->setSingleShot(true);
        connect(m_findingsTimer, &QTimer::timeout, this, [this] { continueFindings(false); });
    }
    m_findingsTimer->stop();
    const CXMLStruct *catalogue = shownCatalogue();
    if (!catalogue || !m_checkSource) {
        m_findings.clear();
        m_findings.setChecks(CheckSet());
        m_checkedPath.clear();
        m_checkedFiles.clear();
        return;
    }
    const CheckTarget target = checkTarget(*catalogue);
    if (m_checksStale || target.path != m_checkedPath || target.files != m_checkedFiles) {
        CheckChoice choice = m_checkSource->checksFor(target);
        choice.set.setContext(target.context);
        m_findings.setChecks(std::move(choice.set));
        m_findings.setIgnoreMarks(std::move(choice.marks));
        m_checkedPath = target.path;
        m_checkedFiles = target.files;
        m_checksStale = false;
    } else {
        m_findings.checks().setContext(target.context);  // a new ratio or placeholder style
    }
    m_findings.startRecount(catalogue->entries);
    continueFindings(true);
}

void CRendaroView::continueFindings(bool first)
{
    const CXMLStruct *catalogue = shownCatalogue();
    if (!catalogue) {
        m_findings.clear();
        return;
    }
    m_findings.rebind(catalogue->entries);
    if (!m_slices.run([this](size_t units) { return m_findings.recountStep(units); }, first)) {
        m_findingsTimer->start(0);
        return;
    }
    // The warnings are all counted now: rows the filter shows by them are
    // made again.
    ++m_entriesGeneration;
    if (!first) {
        if (gridFilter().state == EntryFilterState::Warnings)
            startFilterPass();  // waits while a cell is edited
        emit countsUpdated();
    }
}
