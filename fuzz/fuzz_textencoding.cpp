// The text rule: what is read, written and read again is the same; valid
// UTF-8 comes back byte for byte.
#include "fuzz/fuzzcheck.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray in = fuzz::bytes(data, size);
    const QString text = decodeText(in);
    fuzz::check(decodeText(encodeText(text)) == text, "decode, encode, decode");
    QStringDecoder strict(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString strictText = strict.decode(in); // decoding happens on conversion
    (void)strictText;
    if (!strict.hasError())
        fuzz::check(encodeText(text) == in, "valid UTF-8 changed");
    return 0;
}
