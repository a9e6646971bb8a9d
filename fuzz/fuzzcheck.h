#pragma once

// Shared by the fuzz targets: input as the program would read it, and an
// invariant check that stops the run with a reason.

#include "pager/core/textencoding.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline QString text(const uint8_t* data, size_t size)
{
    return decodeText(bytes(data, size));
}

inline void check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

} // namespace fuzz
