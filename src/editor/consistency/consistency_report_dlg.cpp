#include "editor/consistency/consistency_report_dlg.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kOriginalRole = Qt::UserRole;

// "1 file", "3 files".
QString counted(qsizetype count, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}

} // namespace

CConsistencyReportDlg::CConsistencyReportDlg(const ConsistencyReport &report, const QString &folder,
                                             bool unsavedNote, QWidget *parent)
    : QDialog(parent), m_summary(new QLabel(this)), m_tree(new QTreeWidget(this))
{
    setWindowTitle(tr("Consistency Report"));
    m_summary->setWordWrap(true);
    m_tree->setColumnCount(3);
    m_tree->setHeaderLabels({tr("Original"), tr("Translation"), tr("Files")});
    m_tree->setAccessibleName(tr("Strings translated differently"));
    m_tree->setAccessibleDescription(
        tr("Each original with its translations and the files holding them; Enter selects the original in the grid"));
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setMinimumSize(640, 320);
    m_tree->header()->setStretchLastSection(true);
    m_tree->installEventFilter(this);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { chooseItem(item); });

    auto *hint = new QLabel(tr("Double-click a string, or press Enter on it, to select it in the grid."), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_select = buttons->addButton(tr("&Select in Grid"), QDialogButtonBox::ActionRole);
    m_select->setEnabled(false);
    for (QAbstractButton *button : buttons->buttons()) {
        if (auto *push = qobject_cast<QPushButton *>(button))
            push->setAutoDefault(false);  // Enter in the list chooses its row
    }
    connect(m_select, &QPushButton::clicked, this, [this] { chooseItem(m_tree->currentItem()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { m_select->setEnabled(current != nullptr); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_tree);
    layout->addWidget(hint);
    layout->addWidget(buttons);

    fill(report, folder);
    if (unsavedNote)
        m_summary->setText(m_summary->text() + u' '
                           + tr("The files are compared as last saved; unsaved changes are not included."));
    m_tree->setFocus(Qt::OtherFocusReason);
}

void CConsistencyReportDlg::fill(const ConsistencyReport &report, const QString &folder)
{
    const QDir base(folder);
    auto shownPath = [&base, &folder](const QString &path) {
        return folder.isEmpty() ? path : base.relativeFilePath(path);
    };
    const qsizetype fileCount = report.files.size();
    if (report.items.empty()) {
        m_summary->setText(tr("Every string is translated the same way in the %1 loaded.")
                               .arg(counted(fileCount, tr("file"), tr("files"))));
        m_tree->hide();
    } else {
        m_summary->setText(tr("%1 translated differently in the %2 loaded:")
                               .arg(counted(qsizetype(report.items.size()), tr("string"), tr("strings")),
                                    counted(fileCount, tr("file"), tr("files"))));
    }
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(report.items.size()));
    for (const ConsistencyItem &inconsistent : report.items) {
        auto *item = new QTreeWidgetItem({inconsistent.original,
                                          counted(qsizetype(inconsistent.translations.size()), tr("translation"),
                                                  tr("translations")),
                                          QString()});
        item->setData(0, kOriginalRole, inconsistent.original);
        for (const ConsistencyVariant &variant : inconsistent.translations) {
            QStringList files;
            for (const QString &file : variant.files)
                files << shownPath(file);
            auto *child = new QTreeWidgetItem({QString(), variant.translation, files.join(QStringLiteral(", "))});
            child->setData(0, kOriginalRole, inconsistent.original);
            child->setToolTip(2, variant.files.join(u'\n'));
            item->addChild(child);
        }
        items.append(item);
    }
    m_tree->addTopLevelItems(items);
    m_tree->expandAll();
    for (int column = 0; column < 2; ++column)
        m_tree->resizeColumnToContents(column);
    for (int column = 0; column < 2; ++column)
        m_tree->setColumnWidth(column, qMin(m_tree->columnWidth(column), 260));
    if (!items.isEmpty())
        m_tree->setCurrentItem(items.first());
    // Files that could not be read took no part: say so under the summary.
    if (!report.unreadable.empty()) {
        QStringList lines;
        for (const FileFailure &failure : report.unreadable)
            lines << QStringLiteral("%1: %2").arg(shownPath(failure.path), failure.reason);
        m_summary->setText(m_summary->text() + u'\n' + tr("Not compared (could not be read):") + u'\n'
                           + lines.join(u'\n'));
    }
}

void CConsistencyReportDlg::chooseItem(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const QString original = item->data(0, kOriginalRole).toString();
    if (original.isEmpty())
        return;
    chosenOriginal = original;
    accept();
}

bool CConsistencyReportDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseItem(m_tree->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
