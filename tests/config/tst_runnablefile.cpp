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
    void firstRunnable();
    void program_data();
    void program();

private:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

void TestRunnableFile::initTestCase()
{
    for (const char* name : {"tool", "text"}) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
    }
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
}

void TestRunnableFile::firstRunnable()
{
    QCOMPARE(firstRunnableFile(
                 {path("nothing"), path("folder"), path("text"), path("tool"), path("link")}),
             path("tool"));
    QCOMPARE(firstRunnableFile({path("nothing"), path("text")}), QString());
}

void TestRunnableFile::program_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("program");
    QTest::newRow("with a subject") << "/bin/mail -s \"x y\""
                                    << "/bin/mail";
    QTest::newRow("program only") << "/usr/bin/mail"
                                  << "/usr/bin/mail";
    QTest::newRow("leading blank") << " /bin/mail"
                                   << "";
}

void TestRunnableFile::program()
{
    QFETCH(QString, command);
    QFETCH(QString, program);
    QCOMPARE(commandProgram(command), program);
}

QTEST_GUILESS_MAIN(TestRunnableFile)
#include "tst_runnablefile.moc"
