// Taking away a data directory that a failed first start made.
#include "config/core/firstrundirectory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFirstRunDirectory : public QObject
{
    Q_OBJECT
private slots:
    void removesDirectory_data();
    void removesDirectory();
};

void TestFirstRunDirectory::removesDirectory_data()
{
    QTest::addColumn<bool>("arm");
    QTest::addColumn<bool>("disarm");
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("gone");
    QTest::newRow("armed, empty") << true << false << 0 << true;
    QTest::newRow("armed, with a lock and more") << true << false << 300 << true;
    QTest::newRow("disarmed once settings were written") << true << true << 1 << false;
    QTest::newRow("never armed: not a first run") << false << false << 1 << false;
}

void TestFirstRunDirectory::removesDirectory()
{
    QFETCH(bool, arm);
    QFETCH(bool, disarm);
    QFETCH(int, files);
    QFETCH(bool, gone);

    QTemporaryDir home;
    const QString data = home.filePath(QStringLiteral(".ovpager/"));
    QVERIFY(QDir().mkdir(data));
    for (int i = 0; i < files; ++i) {
        QFile f(data + QStringLiteral("file") + QString::number(i));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QFile beside(home.filePath(QStringLiteral("beside")));
    QVERIFY(beside.open(QIODevice::WriteOnly));
    beside.close();

    if (arm)
        armFirstRunCleanup(data);
    if (disarm)
        disarmFirstRunCleanup();
    runFirstRunCleanup();
    QCOMPARE(!QFileInfo::exists(data), gone);
    QVERIFY(beside.exists());
    runFirstRunCleanup(); // a second call finds nothing armed
    QVERIFY(QFileInfo::exists(home.path()));
}

QTEST_GUILESS_MAIN(TestFirstRunDirectory)
#include "tst_firstrundirectory.moc"
