#pragma once

#include <QString>

// Where the content server is: a fixed host on port 80, unless the
// environment variable OVPAGER_SERVER names "host" or "host:port".
struct ServerAddress
{
    QString host;
    quint16 port = 80;
    QString error; // non-empty when OVPAGER_SERVER could not be read
};

inline constexpr const char defaultServerHost[] = "pager.orvelle.example";

ServerAddress parseServerAddress(const QString& text);
ServerAddress serverAddressFromEnvironment();
