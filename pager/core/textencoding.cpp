#include "pager/core/textencoding.h"

#include <QStringDecoder>

namespace {

// Length of the valid UTF-8 sequence at `at`, or 0: overlong forms,
// surrogates and code points past U+10FFFF are not valid.
int sequenceLength(QByteArrayView d, qsizetype at, char32_t& code)
{
    const auto b0 = uchar(d[at]);
    int length = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        code = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        code = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        code = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > d.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        const auto b = uchar(d[at + i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (b & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString decodeText(QByteArrayView bytes)
{
    QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = strict.decode(bytes);
    if (!strict.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const auto byte = uchar(bytes[at]);
        char32_t code = 0;
        const int length = byte < 0x80 ? 0 : sequenceLength(bytes, at, code);
        if (length == 0) {
            text += QChar(byte); // ASCII, or a Latin-1 byte of an older file
            ++at;
            continue;
        }
        if (QChar::requiresSurrogates(code)) {
            text += QChar(QChar::highSurrogate(code));
            text += QChar(QChar::lowSurrogate(code));
        } else {
            text += QChar(char16_t(code));
        }
        at += length;
    }
    return text;
}

QByteArray encodeText(const QString& text)
{
    return text.toUtf8();
}
