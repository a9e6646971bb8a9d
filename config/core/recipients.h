#pragma once

// Recipient lists of the vulnerability e-mails: addresses separated by commas
// or blanks, each made only of ASCII letters, digits and ".@_+-" and not
// starting with "-", so that none can be taken for a mailer option and none
// needs more than plain single quotes on a shell command line.

#include <QString>
#include <QStringList>

// True when `text` holds at least one address and nothing but addresses and
// separators.
bool isValidRecipientList(const QString& text);

// The addresses of a valid list, in order; empty for an invalid one.
QStringList recipientAddresses(const QString& text);

// The addresses of a valid list as single-quoted shell words joined by
// blanks ("'a@b.example' 'c@d.example'"); empty for an invalid one.
QString shellQuotedRecipients(const QString& text);
