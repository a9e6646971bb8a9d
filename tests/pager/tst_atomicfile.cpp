#include "pager/core/atomicfile.h"
#include "tests/common/scratchmount.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

class TestAtomicFile : public QObject
{
    Q_OBJECT
private slots:
    void replaces_data();
    void replaces();
    void failedSave_data();
    void failedSave();
};

namespace {

using testfiles::readAll;
// Written the plain way, not through the writer under test.
const auto writePlain = testfiles::writeAll;

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

void TestAtomicFile::replaces_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file yet
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("new file") << QByteArray() << QByteArray("VERSION=1\n");
    QTest::newRow("shorter replaces longer") << QByteArray(5000, 'y') << QByteArray("z\n");
    QTest::newRow("empty data") << QByteArray("old") << QByteArray("");
}

void TestAtomicFile::replaces()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, data);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("article.dat"));
    if (!before.isNull()) {
        QVERIFY(writePlain(path, before));
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    }
    QString error;
    QVERIFY(writeFileAtomically(path, data, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(readAll(path), data);
    QCOMPARE(entries(dir.path()), QStringList("article.dat"));
    if (!before.isNull()) {
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), 0640); // the user's choice survives a save
    }
}

void TestAtomicFile::failedSave_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("full file system") << "full";
    QTest::newRow("read-only file system") << "readonly";
    QTest::newRow("directory in the file's place") << "directory";
    QTest::newRow("directory missing") << "missing";
}

void TestAtomicFile::failedSave()
{
    QFETCH(QString, fault);

    const QByteArray old = "<topnews>\n<headline>\n\t<id>1</id>\n</headline>\n</topnews>\n";
    const QByteArray data(40000, 'n'); // more than the full file system has room for
    ScratchMount mount;
    QTemporaryDir plain;
    QString dir = plain.path() + u'/';
    if (fault == "full" || fault == "readonly") {
        if (!mount.isMounted())
            QSKIP(qPrintable(mount.reason()));
        dir = mount.path();
    }
    QString path = dir + QStringLiteral("article.dat");
    if (fault == "directory")
        QVERIFY(QDir().mkdir(path));
    else if (fault == "missing")
        path = dir + QStringLiteral("gone/article.dat");
    else
        QVERIFY(writePlain(path, old));
    if (fault == "full")
        QVERIFY(mount.fill());
    if (fault == "readonly")
        QVERIFY(mount.remountReadOnly());
    const QStringList before = entries(dir);

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QRegularExpression::escape(path) + ".*: .+"));
    QString error;
    QVERIFY(!writeFileAtomically(path, data, &error));
    QVERIFY(!error.isEmpty());
    if (fault == "directory")
        QVERIFY(QFileInfo(path).isDir());
    else if (fault != "missing")
        QCOMPARE(readAll(path), old);
    QCOMPARE(entries(dir), before); // no temporary left behind
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
