#include "editor/memory/suggestions_dock.h"

#include "editor/memory/suggestion_delegate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

// Enter on an item chooses it, as a double-click does.
class SuggestionList : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void(int)> chosen;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0 &&
            event->modifiers() == Qt::NoModifier) {
            chosen(currentRow());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

} // namespace

CSuggestionsDock::CSuggestionsDock(QWidget *parent)
    : QDockWidget(tr("Suggestions"), parent), m_list(new SuggestionList), m_note(new QLabel)
{
    setObjectName(QStringLiteral("SuggestionsDock"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea | Qt::LeftDockWidgetArea |
                    Qt::RightDockWidgetArea);
    auto *content = new QWidget(this);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    m_note->setObjectName(QStringLiteral("suggestionsNote"));
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    layout->addWidget(m_note);
    m_list->setObjectName(QStringLiteral("suggestionsList"));
    m_list->setAccessibleName(tr("Suggestions"));
    m_list->setItemDelegate(new CSuggestionDelegate(m_list));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setResizeMode(QListView::Adjust);  // items follow the pane's width
    m_list->setMinimumHeight(60);
    layout->addWidget(m_list, 1);
    setWidget(content);

    auto choose = [this](int row) { emit suggestionChosen(row); };
    static_cast<SuggestionList *>(m_list)->chosen = choose;
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this, choose](QListWidgetItem *item) { choose(m_list->row(item)); });
}

void CSuggestionsDock::showSuggestions(const std::vector<SuggestionItem> &items, const QString &note)
{
    m_note->setText(note);
    m_note->setAccessibleName(note);
    m_list->clear();
    for (const SuggestionItem &suggestion : items) {
        auto *item = new QListWidgetItem(suggestion.translation, m_list);
        item->setData(ScoreRole, suggestion.score);
        item->setData(OriginalRole, suggestion.original);
        QVariantList ranges;
        for (const TextRange &range : suggestion.differences)
            ranges.append(QPoint(int(range.start), int(range.length)));
        item->setData(DifferencesRole, ranges);
        item->setData(FileRole, suggestion.file);
        item->setData(Qt::AccessibleTextRole, tr("%1%: %2").arg(suggestion.score).arg(suggestion.translation));
        item->setData(ProblemRole, suggestion.problem);
        QString description = tr("Original: %1. File: %2.").arg(suggestion.original, suggestion.file);
        if (!suggestion.problem.isEmpty())
            description += u' ' + tr("Refused by the checks: %1").arg(suggestion.problem);
        item->setData(Qt::AccessibleDescriptionRole, description);
        item->setToolTip(suggestion.details);
    }
}
