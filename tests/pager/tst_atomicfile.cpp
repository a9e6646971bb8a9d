#include "pager/core/atomicfile.h"
#include "tests/common/scratchmount.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>
#include <tuple>

class TestAtomicFile : public QObject
{
    Q_OBJECT
private slots:
    void save_data()
    {
        // What holds the file's place: "file" or "directory"; the file system's
        // fault: "", "full" or "readonly".
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("fault");
        for (auto [what, before, fault] :
             {std::tuple{"replaces the old one, its mode kept", "file", ""},
              {"full file system", "file", "full"},
              {"read-only file system", "file", "readonly"},
              {"directory in the file's place", "directory", ""}})
            QTest::newRow(what) << QString(before) << QString(fault);
    }

    void save()
    {
        QFETCH(QString, before);
        QFETCH(QString, fault);

        const QByteArray old = "<topnews>\n<headline>\n\t<id>1</id>\n</headline>\n</topnews>\n";
        const QByteArray data(40000, 'n'); // more than the full file system has room for
        ScratchMount mount;
        QTemporaryDir plain;
        QString dir = plain.path() + u'/';
        if (!fault.isEmpty()) {
            if (!mount.isMounted())
                QSKIP(qPrintable(mount.reason()));
            dir = mount.path();
        }
        const QString path = dir + QStringLiteral("article.dat");
        if (before == "directory")
            QVERIFY(QDir().mkdir(path));
        if (before == "file") {
            // Written the plain way, not through the writer under test.
            QVERIFY(testfiles::writeAll(path, old));
            QVERIFY(QFile::setPermissions(path,
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        }
        if (fault == "full")
            QVERIFY(mount.fill());
        if (fault == "readonly")
            QVERIFY(mount.remountReadOnly());
        auto entries = [&] {
            return QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::Hidden |
                                       QDir::NoDotAndDotDot);
        };
        const QStringList left = entries();

        const bool fails = !fault.isEmpty() || before == "directory";
        if (fails)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QRegularExpression::escape(path) + ".*: .+"));
        QString error;
        QCOMPARE(writeFileAtomically(path, data, &error), !fails);
        QCOMPARE(error.isEmpty(), !fails);
        QCOMPARE(entries(), left); // no temporary left behind
        if (before == "directory")
            QVERIFY(QFileInfo(path).isDir());
        else
            QCOMPARE(testfiles::readAll(path), fails ? old : data);
        if (before == "file") {
            struct stat st;
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
            QCOMPARE(int(st.st_mode & 07777), 0640); // the user's choice survives a save
        }
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
