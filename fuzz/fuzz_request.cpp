// The bundled server's request reader and fault plan.
#include "fuzz/fuzzcheck.h"
#include "server/faultplan.h"
#include "server/httprequest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray in = fuzz::bytes(data, size);
    const qsizetype end = requestHeadEnd(in);
    fuzz::check(end <= in.size(), "head ends past the data");
    const HttpRequest request = parseRequestHead(end < 0 ? in : in.left(end));
    CFaultPlan plan;
    QString error;
    if (plan.parse(fuzz::text(data, size), &error))
        (void)plan.pick(QStringLiteral("/pagerv3/pager_info.html"));
    (void)request;
    return 0;
}
