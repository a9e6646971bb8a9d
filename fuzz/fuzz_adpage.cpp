// The banner page: a found image path always starts at "/images".
#include "fuzz/fuzzcheck.h"
#include "net/core/replyparse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzz::text(data, size);
    const AdPageInfo info = parseAdPage(text);
    if (info.ok)
        fuzz::check(info.imagePath.startsWith(QLatin1String("/images")), "image path");
    (void)isSuccessStatus(text);
    (void)isCutShort(text);
    return 0;
}
