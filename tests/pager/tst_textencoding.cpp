#include "pager/core/textencoding.h"

#include <QTest>

class TestTextEncoding : public QObject
{
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void roundTrip();
};

void TestTextEncoding::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("UTF-8") << QByteArray("Gr\xc3\xbc\xc3\x9f"
                                         "e \xe2\x80\x93 ok")
                           << QString::fromUtf8("Grüße – ok");
    QTest::newRow("four-byte UTF-8") << QByteArray("a\xf0\x9f\x94\x92") << QString::fromUtf8("a🔒");
    QTest::newRow("Latin-1 file from before")
        << QByteArray("Caf\xe9 \xa9 1999") << QString::fromLatin1("Caf\xe9 \xa9 1999");
    QTest::newRow("Latin-1 and UTF-8 mixed")
        << QByteArray("\xe9t\xc3\xa9") << QString::fromUtf8("étè").left(2) + u'é';
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << QString::fromLatin1("\xc0\xaf");
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << QString::fromLatin1("\xed\xa0\x80");
    QTest::newRow("past U+10FFFF")
        << QByteArray("\xf4\x90\x80\x80") << QString::fromLatin1("\xf4\x90\x80\x80");
    QTest::newRow("sequence cut at the end")
        << QByteArray("ab\xe2\x80") << QString::fromLatin1("ab\xe2\x80");
    QTest::newRow("lone continuation bytes")
        << QByteArray("\x80\xbf") << QString::fromLatin1("\x80\xbf");
    QTest::newRow("zero byte kept")
        << QByteArray("a\0b", 3) << QString(QStringLiteral("a")) + QChar(0) + u'b';
}

void TestTextEncoding::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeText(bytes), text);
}

void TestTextEncoding::roundTrip()
{
    // Whatever was read is written back as UTF-8 and then reads the same.
    for (const QByteArray& bytes : {QByteArray("Caf\xe9"),
                                    QByteArray("Gr\xc3\xbc\xc3\x9f"
                                               "e"),
                                    QByteArray("\xe9t\xc3\xa9\xff")}) {
        const QString text = decodeText(bytes);
        QCOMPARE(decodeText(encodeText(text)), text);
    }
}

QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
