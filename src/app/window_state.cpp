#include "app/window_state.h"

#include "controls/report_ctrl.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>

namespace {

const QString kWindowGroup = QStringLiteral("Window");
const QString kGeometry = QStringLiteral("geometry");
const QString kState = QStringLiteral("state");
const QString kStatusBar = QStringLiteral("statusBar");
const QString kFilterBar = QStringLiteral("filterBar");
const QString kColumnWidths = QStringLiteral("columnWidths");

// Two thirds of the available area of the window's screen, centred.
void placeFirstTime(QMainWindow &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(900, 600);
        return;
    }
    const QRect available = screen->availableGeometry();
    QRect placed(QPoint(0, 0), available.size() * 2 / 3);
    placed.moveCenter(available.center());
    window.setGeometry(placed);
}

} // namespace

bool RestoreWindowState(QMainWindow &window, CReportCtrl &grid, QWidget *filterBar, QSettings &settings)
{
    settings.beginGroup(kWindowGroup);
    const QByteArray geometry = settings.value(kGeometry).toByteArray();
    const bool restored = !geometry.isEmpty() && window.restoreGeometry(geometry);
    if (!restored)
        placeFirstTime(window);
    window.restoreState(settings.value(kState).toByteArray());
    if (settings.contains(kStatusBar))
        window.statusBar()->setVisible(settings.value(kStatusBar).toBool());
    if (filterBar)
        filterBar->setVisible(settings.value(kFilterBar, false).toBool());
    QList<int> widths;
    for (const QVariant &width : settings.value(kColumnWidths).toList())
        widths.append(width.toInt());
    if (!widths.isEmpty())
        grid.setColumnWidths(widths);
    settings.endGroup();
    return restored;
}

void SaveWindowState(QMainWindow &window, const CReportCtrl &grid, const QWidget *filterBar, QSettings &settings)
{
    settings.beginGroup(kWindowGroup);
    settings.setValue(kGeometry, window.saveGeometry());
    settings.setValue(kState, window.saveState());
    settings.setValue(kStatusBar, !window.statusBar()->isHidden());
    settings.setValue(kFilterBar, filterBar && !filterBar->isHidden());
    QVariantList widths;
    for (int width : grid.columnWidths())
        widths.append(width);
    settings.setValue(kColumnWidths, widths);
    settings.endGroup();
    settings.sync();
}
