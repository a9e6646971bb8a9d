// Taking away a data directory that a failed first start made.
#include "config/core/firstrundirectory.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestFirstRunDirectory : public QObject
{
    Q_OBJECT
private slots:
    void removesOnlyWhileArmed()
    {
        QTemporaryDir home;
        const QString data = home.filePath(QStringLiteral(".ovpager/"));
        QVERIFY(QDir().mkpath(data + QStringLiteral("sub")));
        // More entries than one directory read returns.
        for (int i = 0; i < 300; ++i)
            QVERIFY(QFile(data + QString::number(i)).open(QIODevice::WriteOnly));
        QVERIFY(QFile(home.filePath(QStringLiteral("beside"))).open(QIODevice::WriteOnly));

        // Disarmed once the settings were written.
        armFirstRunCleanup(data);
        disarmFirstRunCleanup();
        runFirstRunCleanup();
        QVERIFY(QFileInfo::exists(data + u'0'));

        armFirstRunCleanup(data);
        runFirstRunCleanup();
        QVERIFY(!QFileInfo::exists(data));
        QVERIFY(QFileInfo::exists(home.filePath(QStringLiteral("beside"))));
        QVERIFY(QDir().mkdir(data));
        runFirstRunCleanup(); // a second call finds nothing armed
        QVERIFY(QFileInfo::exists(data));
    }
};

QTEST_GUILESS_MAIN(TestFirstRunDirectory)
#include "tst_firstrundirectory.moc"
