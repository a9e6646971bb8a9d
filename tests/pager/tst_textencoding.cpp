#include "pager/core/textencoding.h"

#include <QTest>

class TestTextEncoding : public QObject
{
    Q_OBJECT
private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        // Latin-1 bytes of an older file beside valid sequences, a four-byte one included.
        QTest::newRow("Latin-1 and UTF-8 mixed")
            << QByteArray("Caf\xe9 \xa9 \xc3\xa9\xf0\x9f\x94\x92")
            << QString::fromUtf8("Café © é🔒");
        // An overlong slash, a surrogate, a code point past U+10FFFF, a sequence
        // cut at the end: each read byte for byte as Latin-1.
        const char bad[] = "\xe0\x80\xaf \xed\xa0\x80 \xf4\x90\x80\x80 ab\xe2\x80";
        QTest::newRow("invalid sequences") << QByteArray(bad) << QString::fromLatin1(bad);
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeText(bytes), text);
    }

    void writtenAsUtf8()
    {
        QCOMPARE(encodeText(QString::fromUtf8("Café🔒")), QByteArray("Caf\xc3\xa9\xf0\x9f\x94\x92"));
    }
};

QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
