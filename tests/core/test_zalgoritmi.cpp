#include <QTest>
class TestZAlgoritmi : public QObject { Q_OBJECT private Q_SLOTS: void vuoto() {} };
QTEST_GUILESS_MAIN(TestZAlgoritmi)
#include "test_zalgoritmi.moc"
