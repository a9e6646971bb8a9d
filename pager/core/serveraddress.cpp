#include "pager/core/serveraddress.h"

ServerAddress parseServerAddress(const QString& text)
{
    ServerAddress address;
    const QString value = text.trimmed();
    if (value.isEmpty()) {
        address.host = QString::fromLatin1(defaultServerHost);
        return address;
    }
    const qsizetype colon = value.lastIndexOf(u':');
    address.host = colon < 0 ? value : value.left(colon);
    if (colon >= 0) {
        bool ok = false;
        const uint port = value.mid(colon + 1).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            address.error = QStringLiteral("Bad port in OVPAGER_SERVER: ") + value;
        else
            address.port = quint16(port);
    }
    if (address.host.isEmpty())
        address.error = QStringLiteral("No host in OVPAGER_SERVER: ") + value;
    return address;
}

ServerAddress serverAddressFromEnvironment()
{
    return parseServerAddress(qEnvironmentVariable("OVPAGER_SERVER"));
}
