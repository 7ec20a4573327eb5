#pragma once
// The status bar's CAP, NUM and SCRL panes: shown in normal text while the
// lock is on, greyed while it is off or cannot be read (the state is read
// from the X server; other platforms show them greyed).

class QStatusBar;

void addKeyLockPanes(QStatusBar *bar);
