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
    void savedFileReadsBack();
    void oversizedFileReadsAsDefaults();
};

void TestNotifyOptions::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<DesktopNotices>("mode");

    QTest::newRow("as written") << QByteArray("desktopnotices=beside\n") << DesktopNotices::Beside;
    QTest::newRow("blanks and no line end")
        << QByteArray("  desktopnotices =  instead ") << DesktopNotices::Instead;
    QTest::newRow("value in capitals")
        << QByteArray("desktopnotices=INSTEAD\n") << DesktopNotices::Instead;
    QTest::newRow("unknown keys passed over")
        << QByteArray("colour=red\ndesktopnotices=beside\n=\n") << DesktopNotices::Beside;
    QTest::newRow("empty file") << QByteArray() << DesktopNotices::Off;
    QTest::newRow("unknown value") << QByteArray("desktopnotices=always\n") << DesktopNotices::Off;
    QTest::newRow("key in capitals")
        << QByteArray("DESKTOPNOTICES=beside\n") << DesktopNotices::Off;
    QTest::newRow("cut off before the value") << QByteArray("desktopnot") << DesktopNotices::Off;
    QTest::newRow("binary garbage")
        << QByteArray("\0\xff=\x01\ndesktopnotices\0=beside", 27) << DesktopNotices::Off;
}

void TestNotifyOptions::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(DesktopNotices, mode);
    QCOMPARE(parseNotifyOptions(text).mode, mode);
}

void TestNotifyOptions::savedFileReadsBack()
{
    TempDataDir dir;
    const QString path = dir.file(QStringLiteral("notify.cfg"));
    QCOMPARE(loadNotifyOptions(path).mode, DesktopNotices::Off); // none yet
    QVERIFY(saveNotifyOptions(path, {DesktopNotices::Instead}));
    QCOMPARE(loadNotifyOptions(path).mode, DesktopNotices::Instead);
}

void TestNotifyOptions::oversizedFileReadsAsDefaults()
{
    TempDataDir dir;
    QVERIFY(dir.write(QStringLiteral("notify.cfg"),
                      "desktopnotices=beside\n" + QByteArray(64 * 1024, '\n')));
    QCOMPARE(loadNotifyOptions(dir.file(QStringLiteral("notify.cfg"))).mode, DesktopNotices::Off);
}

QTEST_GUILESS_MAIN(TestNotifyOptions)
#include "tst_notifyoptions.moc"
