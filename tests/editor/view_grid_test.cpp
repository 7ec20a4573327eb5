#include <QTest>
class T : public QObject { Q_OBJECT };
QTEST_MAIN(T)
#include "view_grid_test.moc"
