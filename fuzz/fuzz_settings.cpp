// The settings file: what is written from a read file reads back the same.
#include "config/core/settingsfile.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ParsedSettings first = parseSettings(fuzz::text(data, size));
    if (!first.complete())
        return 0;
    const QByteArray once = formatSettings(first.values);
    const ParsedSettings again = parseSettings(decodeText(once));
    fuzz::check(again.complete(), "a written settings file reads as incomplete");
    fuzz::check(formatSettings(again.values) == once, "settings round trip");
    return 0;
}
