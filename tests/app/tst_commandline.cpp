// The pager's command line as a table of rules; the program's own answers
// are in its test.

#include "app/core/commandline.h"

#include <QTest>

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("refused");

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

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
