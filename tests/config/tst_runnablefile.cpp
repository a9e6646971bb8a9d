// Which files may be proposed or accepted as the browser and the mailer.
#include "config/core/runnablefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestRunnableFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void runnable_data();
    void runnable();
    void program();

private:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

void TestRunnableFile::initTestCase()
{
    for (const char* name : {"tool", "text"})
        QVERIFY(QFile(path(name)).open(QIODevice::WriteOnly));
    QVERIFY(QFile::setPermissions(path("tool"), QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(QDir().mkdir(path("folder")));
    QVERIFY(QFile::link(path("tool"), path("link")));
}

void TestRunnableFile::runnable_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("runnable");
    QTest::newRow("executable file") << path("tool") << true;
    QTest::newRow("link to one") << path("link") << true;
    QTest::newRow("not executable") << path("text") << false;
    QTest::newRow("directory") << path("folder") << false;
    QTest::newRow("missing") << path("nothing") << false;
}

void TestRunnableFile::runnable()
{
    QFETCH(QString, file);
    QFETCH(bool, runnable);
    QCOMPARE(isRunnableFile(file), runnable);
    // The first runnable candidate is proposed, or none.
    QCOMPARE(firstRunnableFile({path("text"), file, path("tool")}), runnable ? file : path("tool"));
    QCOMPARE(firstRunnableFile({path("text"), file}), runnable ? file : QString());
}

void TestRunnableFile::program()
{
    QCOMPARE(commandProgram(QStringLiteral("/bin/mail -s \"x y\"")), QStringLiteral("/bin/mail"));
    QCOMPARE(commandProgram(QStringLiteral("/usr/bin/mail")), QStringLiteral("/usr/bin/mail"));
}

QTEST_GUILESS_MAIN(TestRunnableFile)
#include "tst_runnablefile.moc"
