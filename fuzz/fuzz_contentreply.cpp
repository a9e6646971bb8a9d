// Content replies and the article store: records written and read back are the same.
#include "fuzz/fuzzcheck.h"
#include "pager/core/headlinelist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ContentReply reply = parseContentReply(fuzz::text(data, size));
    QString store = QStringLiteral("<topnews>\n");
    QList<Headline> plain; // values are unescaped: only tag-free ones can come back
    for (const Headline& h : reply.records) {
        if ((h.title + h.link + h.timestamp).contains(u'<'))
            continue;
        plain << h;
        store += formatHeadlineRecord(h);
    }
    store += QStringLiteral("</topnews>\n");
    const ContentReply again = parseContentReply(store);
    fuzz::check(again.records.size() == plain.size(), "store round trip lost records");
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const Headline& a = plain.at(i);
        const Headline& b = again.records.at(i);
        fuzz::check(a.title == b.title && a.link == b.link && a.timestamp == b.timestamp &&
                        a.id == b.id && a.topId == b.topId && a.isNew == b.isNew,
                    "store round trip changed a record");
    }

    CHeadlineList list;
    list.setCategories({{20001, QStringLiteral("announcements")}, {1, QStringLiteral("one")}});
    for (const Headline& h : reply.records)
        list.add(h);
    for (const HeadlineCategory& c : list.categories())
        fuzz::check(c.headlines.size() <= list.limit(), "a category holds more than the limit");
    return 0;
}
