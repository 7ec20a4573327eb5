#include "editor/glossary/terms_dock.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

CTermsDock::CTermsDock(QWidget *parent) : QDockWidget(tr("Terms"), parent), m_note(new QLabel), m_list(new QTreeWidget)
{
    setObjectName(QStringLiteral("termsDock"));
    auto *contents = new QWidget(this);
    auto *layout = new QVBoxLayout(contents);
    layout->setContentsMargins(4, 2, 4, 4);
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_note);
    m_list->setColumnCount(4);
    m_list->setHeaderLabels({tr("Term"), tr("Translation"), tr("Note"), tr("Status")});
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setAlternatingRowColors(true);
    m_list->setAccessibleName(tr("Terms of the selected string"));
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    layout->addWidget(m_list, 1);
    setWidget(contents);
}

void CTermsDock::showTerms(const std::vector<Line> &lines, const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    m_list->clear();
    for (const Line &line : lines) {
        QStringList shown, spoken;
        for (qsizetype i = 0; i < line.targets.size(); ++i) {
            const int key = i < line.keys.size() ? line.keys[i] : 0;
            shown.append(key > 0 ? tr("%1 (Alt+%2)").arg(line.targets[i]).arg(key) : line.targets[i]);
            spoken.append(key > 0 ? tr("%1, Alt+%2").arg(line.targets[i]).arg(key) : line.targets[i]);
        }
        auto *item = new QTreeWidgetItem(m_list, {line.source, shown.join(QStringLiteral("; ")), line.note, line.status});
        item->setToolTip(2, line.note);
        QString sentence = tr("%1: %2, %3").arg(line.source, spoken.join(QStringLiteral("; ")), line.status);
        if (!line.note.isEmpty())
            sentence += tr(". Note: %1").arg(line.note);
        for (int column = 0; column < m_list->columnCount(); ++column)
            item->setData(column, Qt::AccessibleDescriptionRole, sentence);
        item->setData(0, Qt::AccessibleTextRole, sentence);
    }
}

QString CTermsDock::cellText(int line, int column) const
{
    const QTreeWidgetItem *item = m_list->topLevelItem(line);
    return item ? item->text(column) : QString();
}
