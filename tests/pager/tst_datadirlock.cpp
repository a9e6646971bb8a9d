#include "pager/core/datadirlock.h"
#include "tests/common/testfiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

class TestDataDirLock : public QObject
{
    Q_OBJECT
private slots:
    void lock()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + u'/';
        // What a pager that was killed leaves: its pid, long gone.
        QVERIFY(testfiles::writeAll(path + "ovpager.lock",
                                    "999999999\novpager\n" + QSysInfo::machineHostName().toUtf8() +
                                        "\n"));
        {
            const DataDirLock first(path);
            QVERIFY(first.isHeld()); // the dead process's lock is taken over
            const DataDirLock second(path);
            QVERIFY(!second.isHeld());
            QCOMPARE(second.holderPid(), QCoreApplication::applicationPid());
        }
        QVERIFY(DataDirLock(path).isHeld()); // released with its holder
    }
};

QTEST_GUILESS_MAIN(TestDataDirLock)
#include "tst_datadirlock.moc"
