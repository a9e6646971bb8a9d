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
    void firstRunnable_data();
    void firstRunnable();
    void program_data();
    void program();

private:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

void TestRunnableFile::initTestCase()
{
    auto make = [this](const char* name, QFile::Permissions permissions) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        QVERIFY(f.setPermissions(permissions));
    };
    make("tool", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    make("other", QFile::ReadOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    make("text", QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(QDir().mkdir(path("folder")));
    QVERIFY(QFile::link(path("tool"), path("link")));
    QVERIFY(QFile::link(path("folder"), path("folderlink")));
}

void TestRunnableFile::runnable_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("runnable");
    QTest::newRow("executable file") << path("tool") << true;
    QTest::newRow("link to one") << path("link") << true;
    QTest::newRow("not executable") << path("text") << false;
    QTest::newRow("directory") << path("folder") << false;
    QTest::newRow("link to a directory") << path("folderlink") << false;
    QTest::newRow("missing") << path("nothing") << false;
    QTest::newRow("with arguments") << path("tool") + QStringLiteral(" -s x") << false;
}

void TestRunnableFile::runnable()
{
    QFETCH(QString, file);
    QFETCH(bool, runnable);
    QCOMPARE(isRunnableFile(file), runnable);
}

void TestRunnableFile::firstRunnable_data()
{
    QTest::addColumn<QStringList>("candidates");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("first one there") << QStringList{path("tool"), path("other")} << path("tool");
    QTest::newRow("skips missing and unfit")
        << QStringList{path("nothing"), path("folder"), path("text"), path("other")}
        << path("other");
    QTest::newRow("none fits") << QStringList{path("nothing"), path("text")} << QString();
}

void TestRunnableFile::firstRunnable()
{
    QFETCH(QStringList, candidates);
    QFETCH(QString, chosen);
    QCOMPARE(firstRunnableFile(candidates), chosen);
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
