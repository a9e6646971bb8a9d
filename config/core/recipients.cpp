#include "config/core/recipients.h"

namespace {

bool isAddressChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
           u == u'.' || u == u'@' || u == u'_' || u == u'+' || u == u'-';
}

bool isSeparator(QChar c)
{
    return c == u',' || c == u' ' || c == u'\t';
}

// Splits at separators; false on any character that is neither.
bool split(const QString& text, QStringList& out)
{
    QString current;
    for (const QChar c : text) {
        if (isSeparator(c)) {
            if (!current.isEmpty())
                out.append(current);
            current.clear();
        } else if (isAddressChar(c)) {
            if (current.isEmpty() && c == u'-')
                return false;
            current += c;
        } else {
            return false;
        }
    }
    if (!current.isEmpty())
        out.append(current);
    return !out.isEmpty();
}

QString shellQuoted(const QString& word)
{
    QString quoted = word;
    quoted.replace(u'\'', QLatin1String("'\\''"));
    return u'\'' + quoted + u'\'';
}

} // namespace

bool isValidRecipientList(const QString& text)
{
    QStringList addresses;
    return split(text, addresses);
}

QStringList recipientAddresses(const QString& text)
{
    QStringList addresses;
    if (!split(text, addresses))
        return {};
    return addresses;
}

QString shellQuotedRecipients(const QString& text)
{
    QStringList words;
    for (const QString& address : recipientAddresses(text))
        words.append(shellQuoted(address));
    return words.join(u' ');
}
