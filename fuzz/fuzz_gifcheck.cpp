// The banner image check: what it lets through is within its limits.
#include "fuzz/fuzzcheck.h"
#include "net/core/gifcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const GifCheck check = checkGif(fuzz::bytes(data, size));
    if (check.ok)
        fuzz::check(check.frames >= 1 && check.frames <= maxGifFrames &&
                        check.width <= maxGifSide && check.height <= maxGifSide,
                    "image past the limits accepted");
    else
        fuzz::check(!check.why.isEmpty(), "refused without a reason");
    return 0;
}
