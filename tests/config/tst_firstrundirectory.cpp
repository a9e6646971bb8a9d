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
    void removesOnlyWhileArmed();
};

void TestFirstRunDirectory::removesOnlyWhileArmed()
{
    QTemporaryDir home;
    const QString data = home.filePath(QStringLiteral(".ovpager/"));
    QVERIFY(QDir().mkdir(data));
    // More entries than one directory read returns.
    for (int i = 0; i < 300; ++i) {
        QFile f(data + QStringLiteral("file") + QString::number(i));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QFile beside(home.filePath(QStringLiteral("beside")));
    QVERIFY(beside.open(QIODevice::WriteOnly));
    beside.close();

    // Disarmed once the settings were written.
    armFirstRunCleanup(data);
    disarmFirstRunCleanup();
    runFirstRunCleanup();
    QVERIFY(QFileInfo::exists(data + QStringLiteral("file0")));

    armFirstRunCleanup(data);
    runFirstRunCleanup();
    QVERIFY(!QFileInfo::exists(data));
    QVERIFY(beside.exists());
    QVERIFY(QDir().mkdir(data));
    runFirstRunCleanup(); // a second call finds nothing armed
    QVERIFY(QFileInfo::exists(data));
}

QTEST_GUILESS_MAIN(TestFirstRunDirectory)
#include "tst_firstrundirectory.moc"
