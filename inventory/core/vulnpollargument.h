#pragma once

#include <QString>

// The timestamp as it may stand in a request target: every byte of its
// UTF-8 form other than ASCII letters, digits and "-._:" as "%XX".
QString percentEncodedTimestamp(const QString& timestamp);

// The argument of a vulnerability poll, "timestamp=T&version=N"; a test
// poll asks for the whole feed with timestamp 0.
QString vulnPollArgument(const QString& timestamp, int version, bool testPoll);
