#include "editor/preview/preview_dock.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

CPreviewCanvas::CPreviewCanvas(QWidget *parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void CPreviewCanvas::setPicture(const QImage &picture)
{
    m_picture = picture;
    if (picture.isNull())
        clear();
    else
        setPixmap(QPixmap::fromImage(picture));
    resize(picture.isNull() ? QSize(1, 1) : picture.size());
}

void CPreviewCanvas::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

CPreviewDock::CPreviewDock(QWidget *parent)
    : QDockWidget(tr("Preview"), parent), m_choice(new QComboBox), m_summary(new QLabel), m_note(new QLabel),
      m_scroll(new QScrollArea), m_canvas(new CPreviewCanvas), m_list(new QListWidget)
{
    setObjectName(QStringLiteral("previewDock"));
    auto *contents = new QWidget(this);
    auto *layout = new QVBoxLayout(contents);
    layout->setContentsMargins(4, 2, 4, 4);
    auto *top = new QHBoxLayout;
    auto *label = new QLabel(tr("Shown &in:"));
    label->setBuddy(m_choice);
    m_choice->setAccessibleName(tr("Dialog or menu shown"));
    m_choice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    top->addWidget(label);
    top->addWidget(m_choice, 1);
    layout->addLayout(top);
    layout->addWidget(m_summary);
    m_note->setWordWrap(true);
    m_note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_note);
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(false);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_canvas->setAccessibleName(tr("Dialog preview"));
    m_list->setAccessibleName(tr("Controls"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(m_scroll);
    split->addWidget(m_list);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({360, 140});  // most of the height for the picture
    split->setChildrenCollapsible(false);
    m_scroll->setMinimumSize(280, 160);
    layout->addWidget(split, 1);
    setWidget(contents);

    connect(m_choice, &QComboBox::activated, this, &CPreviewDock::placeChosen);
    connect(m_canvas, &CPreviewCanvas::clicked, this, &CPreviewDock::controlClicked);
    connect(m_list, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { emit lineActivated(m_list->row(item)); });
    showNote(QString());
}

void CPreviewDock::setPlaces(const QStringList &names, int chosen)
{
    const QSignalBlocker blocker(m_choice);
    bool same = m_choice->count() == names.size();
    for (int i = 0; same && i < names.size(); ++i)
        same = m_choice->itemText(i) == names[i];
    if (!same) {
        m_choice->clear();
        m_choice->addItems(names);
    }
    m_choice->setCurrentIndex(chosen);
    m_choice->setEnabled(names.size() > 1);
}

void CPreviewDock::showNote(const QString &text)
{
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
    m_canvas->setPicture(QImage());
    m_canvas->setAccessibleName(tr("Dialog preview"));
    m_canvas->setAccessibleDescription(text);
    m_summary->clear();
    m_list->clear();
    setPlaces({}, -1);
}

void CPreviewDock::showPicture(const QImage &picture, const QString &name, const QString &summary,
                               const QStringList &lines, const std::vector<bool> &misfits, int current)
{
    m_note->hide();
    m_note->clear();
    m_canvas->setPicture(picture);
    // The dock grows to show a dialog whole (up to a point), and never
    // shrinks by itself as the dialogs shown change.
    const int wanted = std::min(720, picture.width() + 2 * m_scroll->frameWidth()
                                         + m_scroll->verticalScrollBar()->sizeHint().width());
    if (wanted > m_scroll->minimumWidth())
        m_scroll->setMinimumWidth(wanted);
    if (m_canvas->accessibleName() != name)
        m_canvas->setAccessibleName(name);
    if (m_canvas->accessibleDescription() != summary)
        m_canvas->setAccessibleDescription(summary);
    m_summary->setText(summary);
    m_list->setAccessibleName(tr("Controls of %1").arg(name));
    // Only the lines that changed are set again, so a keystroke leaves the
    // list (and a screen reader's place in it) alone but for its control.
    const QSignalBlocker blocker(m_list);
    while (m_list->count() > lines.size())
        delete m_list->takeItem(m_list->count() - 1);
    for (int i = 0; i < lines.size(); ++i) {
        if (i >= m_list->count())
            m_list->addItem(QString());
        QListWidgetItem *item = m_list->item(i);
        if (item->text() != lines[i])
            item->setText(lines[i]);
        const bool misfit = size_t(i) < misfits.size() && misfits[size_t(i)];
        const QBrush brush = misfit ? QBrush(QColor(200, 0, 0)) : QBrush();
        if (item->foreground() != brush)
            item->setForeground(brush);
    }
    if (current >= 0 && current < m_list->count() && m_list->currentRow() != current) {
        m_list->setCurrentRow(current);
        m_list->scrollToItem(m_list->item(current));
    }
}

void CPreviewDock::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    emit visibleNow();
}
