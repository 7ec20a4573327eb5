#pragma once
// The main window's size, place and state kept between runs in the
// settings ("Window" group): geometry (maximized included), the toolbar and
// dock widgets, the status bar, the filter bar and the grid's column widths.
// Without saved settings the window takes two thirds of the screen's
// available area, centred.

class CReportCtrl;
class QMainWindow;
class QSettings;
class QWidget;

// False when nothing was saved yet (the first start): the window is then
// placed at two thirds of the screen, centred.
bool RestoreWindowState(QMainWindow &window, CReportCtrl &grid, QWidget *filterBar, QSettings &settings);
void SaveWindowState(QMainWindow &window, const CReportCtrl &grid, const QWidget *filterBar, QSettings &settings);
