// The pager's command line: the rules as a table, then the built program
// asked for help, its version or an unknown option, with no display and a
// fresh HOME that must stay empty.

#include "app/core/commandline.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void program_data();
    void program();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("refused");

    QTest::newRow("help") << QStringList{"-debug", "--help"} << Action::Help << "";
    QTest::newRow("version") << QStringList{"--version"} << Action::Version << "";
    QTest::newRow("unknown two-dash option")
        << QStringList{"--frobnicate"} << Action::Refuse << "--frobnicate";
    QTest::newRow("one-dash unknown is ignored")
        << QStringList{"-Debug", "-x", "word"} << Action::Run << "";
    QTest::newRow("toolkit options, one value that looks like help")
        << QStringList{"--qwindowtitle", "--help", "--reverse"} << Action::Run << "";
    QTest::newRow("toolkit option with joined value")
        << QStringList{"--style=Windows", "-stylesheet=/dev/null"} << Action::Run << "";
    QTest::newRow("joined value the toolkit does not take")
        << QStringList{"--platform=xcb"} << Action::Refuse << "--platform=xcb";
    QTest::newRow("first one decides: refused")
        << QStringList{"--bogus", "--help"} << Action::Refuse << "--bogus";
    QTest::newRow("nothing after a double dash")
        << QStringList{"--", "--bogus", "--help"} << Action::Run << "";
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QString, refused);
    const CommandLine line = CommandLine::parse(QStringList{"ovpager"} + arguments);
    QCOMPARE(line.action, action);
    QCOMPARE(line.refused, refused);
}

void TestCommandLine::program_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");

    QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("Usage: ovpager ")
                          << QByteArray();
    QTest::newRow("version") << QStringList{"--version"} << 0
                             << QByteArray("Orvelle Pager V3.0 (ovpager 3.0)\n") << QByteArray();
    QTest::newRow("unknown option")
        << QStringList{"--frobnicate"} << 2 << QByteArray()
        << QByteArray("ovpager: unknown option --frobnicate\nTry 'ovpager --help'");
}

void TestCommandLine::program()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);

    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), home.path());
    // Were the name looked up, this one would never resolve.
    env.insert(QStringLiteral("OVPAGER_SERVER"), QStringLiteral("nonexistent.invalid"));
    QProcess pager;
    pager.setProcessEnvironment(env);
    pager.start(QStringLiteral(OVPAGER_BINARY), arguments);
    QVERIFY(pager.waitForFinished(10000));
    QCOMPARE(pager.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pager.exitCode(), status);
    const QByteArray stdOut = pager.readAllStandardOutput();
    const QByteArray stdErr = pager.readAllStandardError();
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.contains(out), stdOut.constData());
    QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.contains(err), stdErr.constData());
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
