// The category file: a valid file written and read back gives the same.
#include "fuzz/fuzzcheck.h"
#include "pager/core/categoryfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzz::text(data, size);
    CategoryFile file = parseCategoryFile(text);
    applyOldTicks(file, text);
    (void)contentRequestArgument(file, 5);
    if (!file.isValid())
        return 0;
    const QByteArray once = formatCategoryFile(file);
    const CategoryFile again = parseCategoryFile(decodeText(once));
    fuzz::check(formatCategoryFile(again) == once, "category file round trip");
    return 0;
}
