// The tagged reader and its walker: the walker gives what repeated takes give.
#include "fuzz/fuzzcheck.h"
#include "pager/core/ctaggedwalker.h"
#include "pager/core/taggedtext.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzz::text(data, size);
    for (const QString& name : {QStringLiteral("headline"), QStringLiteral("vuln")}) {
        QStringList taken;
        QString source = text, value;
        while (takeTaggedValue(name, source, value))
            taken << value;
        QStringList walked;
        CTaggedWalker walker(name, text);
        while (walker.take(value))
            walked << value;
        fuzz::check(walked == taken, "walker differs from repeated takes");
        fuzz::check(walker.remaining() == source, "walker leaves other text than the takes");
    }
    const QLatin1String names[] = {QLatin1String("headline"), QLatin1String("id"),
                                   QLatin1String("vuln"), QLatin1String("id")};
    QString source = text, value, store;
    QStringView values[4];
    bool found[4];
    takeTaggedValues(text, names, 4, values, found, store);
    for (int i = 0; i < 4; ++i) {
        const bool took = takeTaggedValue(names[i], source, value);
        fuzz::check(found[i] == took && (!took || values[i] == value),
                    "fields differ from repeated takes");
    }
    QString stripped = text;
    stripMarkup(stripped);
    fuzz::check(stripped.size() <= text.size(), "stripping made the text longer");
    return 0;
}
