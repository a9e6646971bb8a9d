#pragma once

// The one text encoding of replies, state files and the server's data:
// UTF-8. Files written before held Latin-1, so bytes that do not form valid
// UTF-8 are read as Latin-1, each byte one character; such files load as
// they always did and are written back as UTF-8.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

QString decodeText(QByteArrayView bytes);
QByteArray encodeText(const QString& text);
