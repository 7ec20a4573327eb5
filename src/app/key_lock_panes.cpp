#include "app/key_lock_panes.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

#include "app/key_lock_state.h"

namespace {

class KeyLockPanes : public QObject {
public:
    explicit KeyLockPanes(QStatusBar *bar) : QObject(bar)
    {
        const char *names[] = {"CAP", "NUM", "SCRL"};
        for (int i = 0; i < 3; ++i) {
            m_panes[i] = new QLabel(QString::fromLatin1(names[i]), bar);
            m_panes[i]->setAlignment(Qt::AlignCenter);
            m_panes[i]->setMinimumWidth(m_panes[i]->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
            m_panes[i]->setFrameShape(QFrame::Panel);
            m_panes[i]->setFrameShadow(QFrame::Sunken);
            bar->addPermanentWidget(m_panes[i]);
        }
        update();
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Once per key (the window sees it first) and when the program
        // becomes active again.
        const QEvent::Type type = event->type();
        if ((type == QEvent::KeyRelease && watched->isWindowType()) || type == QEvent::ApplicationStateChange)
            update();
        return QObject::eventFilter(watched, event);
    }

private:
    void update()
    {
        bool on[3] = {false, false, false};
        readKeyLocks(on);
        for (int i = 0; i < 3; ++i)
            m_panes[i]->setEnabled(on[i]);
    }

    QLabel *m_panes[3];
};

} // namespace

void addKeyLockPanes(QStatusBar *bar) { new KeyLockPanes(bar); }
