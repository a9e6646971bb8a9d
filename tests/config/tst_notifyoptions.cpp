// "notify.cfg": what each kind of file reads as, and the file's road
// through the data directory.
#include "config/core/notifyoptions.h"
#include "tests/common/testfiles.h"

#include <QTest>

Q_DECLARE_METATYPE(DesktopNotices)

class TestNotifyOptions : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void fileRoad();
};

void TestNotifyOptions::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<DesktopNotices>("mode");
    QTest::newRow("blanks, capitals and no line end")
        << QByteArray("  desktopnotices =  INSTEAD ") << DesktopNotices::Instead;
    QTest::newRow("unknown keys and lines passed over")
        << QByteArray("DESKTOPNOTICES=instead\ncolour red\ndesktopnotices=beside\n=\n")
        << DesktopNotices::Beside;
    QTest::newRow("unknown value") << QByteArray("desktopnotices=always\n") << DesktopNotices::Off;
}

void TestNotifyOptions::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(DesktopNotices, mode);
    QCOMPARE(parseNotifyOptions(text).mode, mode);
}

void TestNotifyOptions::fileRoad()
{
    TempDataDir dir;
    const QString path = dir.file(QStringLiteral("notify.cfg"));
    QCOMPARE(loadNotifyOptions(path).mode, DesktopNotices::Off); // none yet
    QVERIFY(saveNotifyOptions(path, {DesktopNotices::Instead}));
    QCOMPARE(loadNotifyOptions(path).mode, DesktopNotices::Instead);
    // Too large to be a setting: not read at all.
    QVERIFY(dir.write(QStringLiteral("notify.cfg"),
                      "desktopnotices=beside\n" + QByteArray(64 * 1024, '\n')));
    QCOMPARE(loadNotifyOptions(path).mode, DesktopNotices::Off);
}

QTEST_GUILESS_MAIN(TestNotifyOptions)
#include "tst_notifyoptions.moc"
