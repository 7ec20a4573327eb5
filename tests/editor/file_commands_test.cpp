#include <QTest>
class T : public QObject { Q_OBJECT };
QTEST_MAIN(T)
#include "file_commands_test.moc"
