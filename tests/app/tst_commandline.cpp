// The pager's command line: the rules as a table, then the built program
// asked for help, its version or an unknown option, with no display and a
// fresh HOME that must stay empty.

#include "app/core/commandline.h"

#include "tests/common/childprocess.h"

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
    QTest::newRow("first unknown two-dash option decides")
        << QStringList{"--frobnicate", "--help"} << Action::Refuse << "--frobnicate";
    // A word, a one-dash unknown, a value that looks like help, a flag, a joined value.
    QTest::newRow("left to the toolkit or ignored")
        << QStringList{"word", "-x", "--qwindowtitle", "--help", "--reverse", "--style=Windows"}
        << Action::Run << "";
    QTest::newRow("joined value the toolkit does not take")
        << QStringList{"--platform=xcb"} << Action::Refuse << "--platform=xcb";
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
    QTest::addColumn<QByteArray>("text"); // the start of standard output, or of error when refused
    QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("Usage: ovpager ");
    QTest::newRow("version") << QStringList{"--version"} << 0
                             << QByteArray("Orvelle Pager V3.0 (ovpager 3.0)\n");
    QTest::newRow("unknown option")
        << QStringList{"--frobnicate"} << 2
        << QByteArray("ovpager: unknown option --frobnicate\nTry 'ovpager --help'");
}

void TestCommandLine::program()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, text);
    const TempHome home(false);
    // Were the name looked up, this one would never resolve.
    QProcessEnvironment env = childprocess::pagerEnvironment(home.path(), "nonexistent.invalid");
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess pager;
    pager.setProcessEnvironment(env);
    pager.start(QStringLiteral(OVPAGER_BINARY), arguments);
    QVERIFY(pager.waitForFinished(10000));
    QCOMPARE(pager.exitCode(), status);
    QVERIFY(
        (status ? pager.readAllStandardError() : pager.readAllStandardOutput()).startsWith(text));
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
