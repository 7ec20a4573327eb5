#include "editor/checks/checks_dock.h"

#include "catalogue/document.h"
#include "editor/core/rendaro_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

void WarningListModel::setRows(std::vector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

const WarningListModel::Row *WarningListModel::rowAt(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? &m_rows[size_t(row)] : nullptr;
}

int WarningListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int WarningListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 3; }

QVariant WarningListModel::data(const QModelIndex &index, int role) const
{
    const Row *row = rowAt(index.row());
    if (!row || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    switch (index.column()) {
    case 0: return row->checkName;
    case 1: return row->original;
    default: return row->message;
    }
}

QVariant WarningListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case 0: return tr("Check");
    case 1: return tr("Original (English)");
    default: return tr("Message");
    }
}

CChecksDock::CChecksDock(CRendaroView &view, QWidget *parent)
    : QDockWidget(tr("Checks"), parent), m_view(view), m_checkChoice(new QComboBox), m_summary(new QLabel),
      m_list(new QTableView), m_ignore(new QPushButton(tr("&Ignore This Warning"))),
      m_model(new WarningListModel(this))
{
    setObjectName(QStringLiteral("checksDock"));
    auto *contents = new QWidget(this);
    auto *layout = new QVBoxLayout(contents);
    layout->setContentsMargins(4, 2, 4, 4);
    auto *top = new QHBoxLayout;
    auto *label = new QLabel(tr("&Show:"));
    label->setBuddy(m_checkChoice);
    m_checkChoice->setAccessibleName(tr("Show the warnings of"));
    top->addWidget(label);
    top->addWidget(m_checkChoice);
    top->addWidget(m_summary, 1);
    top->addWidget(m_ignore);
    layout->addLayout(top);
    m_list->setModel(m_model);
    m_list->setAccessibleName(tr("Warnings"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setStretchLastSection(true);
    // Room for a check's name and an original of a few words; the message
    // takes the rest.
    m_list->setColumnWidth(0, m_list->fontMetrics().horizontalAdvance(QStringLiteral("Accelerator clash")) + 16);
    m_list->setColumnWidth(1, m_list->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
    layout->addWidget(m_list);
    setWidget(contents);

    m_refresh.setSingleShot(true);
    connect(&m_refresh, &QTimer::timeout, this, &CChecksDock::refresh);
    connect(&view, &CRendaroView::countsUpdated, this, &CChecksDock::scheduleRefresh);
    connect(&view, &CRendaroView::recounted, this, &CChecksDock::scheduleRefresh);
    connect(m_checkChoice, &QComboBox::activated, this, &CChecksDock::refresh);
    // Enter and a double-click select the warning's row in the grid.
    connect(m_list, &QAbstractItemView::activated, this, &CChecksDock::activate);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CChecksDock::updateButtons);
    connect(m_ignore, &QPushButton::clicked, this, [this] {
        if (const WarningListModel::Row *row = m_model->rowAt(m_list->currentIndex().row()))
            emit ignoreRequested(row->mark);
    });
    updateButtons();
}

void CChecksDock::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    if (m_stale)
        refresh();
}

void CChecksDock::scheduleRefresh()
{
    m_stale = true;
    if (isVisible())
        m_refresh.start(0);
}

void CChecksDock::refresh()
{
    m_stale = false;
    const QString shownCheck = m_checkChoice->currentData().toString();
    const int selectedRow = m_list->currentIndex().row();
    const WarningListModel::Row *selected = m_model->rowAt(selectedRow);
    const QString selectedOriginal = selected ? selected->original : QString();
    const QString selectedCheck = selected ? selected->checkId : QString();

    // Every warning no mark dismisses, in the order of the entries' numbers
    // (the file's order), with the count of each check.
    std::vector<std::pair<size_t, const Finding *>> warnings;
    std::map<QString, std::pair<QString, int>> perCheck;  // id -> name, count
    const CXMLStruct *catalogue = m_view.shownCatalogue();
    const CatalogueFindings &findings = m_view.findings();
    if (catalogue) {
        for (const StringEntry *entry : findings.entriesWithWarning()) {
            const qsizetype number = catalogue->entries.lookupNumber(entry->original);
            for (const Finding &finding : findings.findingsOf(*entry)) {
                if (finding.severity != Severity::Warning || finding.ignored)
                    continue;
                warnings.emplace_back(size_t(number), &finding);
                auto &check = perCheck[finding.checkId()];
                check.first = finding.check->info().name;
                ++check.second;
            }
        }
    }
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });

    m_checkChoice->clear();
    m_checkChoice->addItem(tr("All checks (%1)").arg(warnings.size()), QString());
    for (const auto &[id, check] : perCheck)
        m_checkChoice->addItem(QStringLiteral("%1 (%2)").arg(check.first).arg(check.second), id);
    const int choice = m_checkChoice->findData(shownCheck);
    m_checkChoice->setCurrentIndex(choice < 0 ? 0 : choice);
    const QString shown = m_checkChoice->currentData().toString();

    std::vector<WarningListModel::Row> rows;
    rows.reserve(warnings.size());
    int reselect = -1;
    for (const auto &[number, finding] : warnings) {
        if (!shown.isEmpty() && finding->checkId() != shown)
            continue;
        if (finding->entry->original == selectedOriginal && finding->checkId() == selectedCheck)
            reselect = int(rows.size());
        rows.push_back({finding->checkId(), finding->check->info().name, finding->entry->original, finding->message,
                        IgnoreMarkFor(*finding)});
    }
    m_model->setRows(std::move(rows));
    const int count = m_model->rowCount();
    m_summary->setText(findings.isRecounting() ? tr("The checks are still running...")
                       : count == 1            ? tr("1 warning")
                                               : tr("%1 warnings").arg(count));
    if (reselect >= 0)
        m_list->setCurrentIndex(m_model->index(reselect, 0));
    updateButtons();
}

void CChecksDock::activate(const QModelIndex &index)
{
    if (const WarningListModel::Row *row = m_model->rowAt(index.row()))
        m_view.SelectOriginal(row->original);
}

void CChecksDock::updateButtons() { m_ignore->setEnabled(m_model->rowAt(m_list->currentIndex().row()) != nullptr); }
