#include "pager/core/headlinelist.h"

#include "pager/core/ctaggedwalker.h"
#include "pager/core/taggedtext.h"
#include "pager/core/textencoding.h"

#include <algorithm>

namespace {

// A decimal number as QString::toInt() reads it, short plain digits (the
// usual case) read directly.
int number(QStringView text, bool* ok)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > 9)
        return text.toInt(ok);
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return text.toInt(ok);
        value = value * 10 + (c.unicode() - u'0');
    }
    *ok = true;
    return value;
}

} // namespace

QString formatHeadlineRecord(const Headline& h)
{
    return QStringLiteral("<headline>\n\t<category>0</category>\n\t<link>") + h.link +
           QStringLiteral("</link>\n\t<title>") + h.title + QStringLiteral("</title>\n\t<id>") +
           QString::number(h.id) + QStringLiteral("</id>\n\t<timestamp>") + h.timestamp +
           QStringLiteral("</timestamp>\n\t<topcategory>") + QString::number(h.topId) +
           QStringLiteral("</topcategory>\n\t<newflag>") + (h.isNew ? u'1' : u'0') +
           QStringLiteral("</newflag>\n</headline>\n");
}

ContentReply parseContentReply(const QString& text)
{
    ContentReply reply;
    // The body is walked in place: a long reply is never copied.
    TaggedSpan top;
    if (!findTaggedValue(QStringLiteral("topnews"), text, top))
        return reply;
    const QStringView body = QStringView(text).mid(top.valueFrom, top.valueTo - top.valueFrom);
    if (body.contains(QLatin1String("<!-- error old category file"))) {
        reply.oldCategoryFile = true;
        return reply;
    }
    CTaggedWalker walker(QStringLiteral("headline"), text, top.valueFrom, top.valueTo);
    static const QLatin1String names[] = {QLatin1String("category"),  QLatin1String("link"),
                                          QLatin1String("title"),     QLatin1String("id"),
                                          QLatin1String("timestamp"), QLatin1String("topcategory"),
                                          QLatin1String("newflag")};
    enum
    {
        Category,
        Link,
        Title,
        Id,
        Timestamp,
        TopCategory,
        NewFlag,
        Count
    };
    // Fields are read as views; a string is made only for what is kept.
    QStringView record, field[Count];
    bool found[Count];
    QString store;
    while (walker.take(record)) {
        takeTaggedValues(record, names, Count, field, found, store);
        if (!std::all_of(found, found + NewFlag, [](bool f) { return f; }))
            continue;
        bool idOk = false, topOk = false;
        const int id = number(field[Id], &idOk);
        const int topId = number(field[TopCategory], &topOk);
        if (!idOk || !topOk)
            continue;
        Headline h;
        h.id = id;
        h.topId = topId;
        if (found[NewFlag]) {
            bool ok = false;
            const int flag = number(field[NewFlag], &ok);
            h.isNew = ok && flag != 0;
        }
        h.title = field[Title].toString();
        h.link = field[Link].toString();
        h.timestamp = field[Timestamp].toString();
        reply.records.append(std::move(h));
    }
    return reply;
}

void noteNewCategory(QStringList& list, const QString& name)
{
    if (!list.contains(name))
        list.append(name);
}

void CHeadlineList::setCategories(const QList<QPair<int, QString>>& categories)
{
    m_categories.clear();
    for (const auto& [id, name] : categories)
        m_categories.append(HeadlineCategory{id, name, {}});
}

bool CHeadlineList::trim(HeadlineCategory& category, int keepId, bool* keptGone)
{
    bool changed = false;
    while (category.headlines.size() > m_limit && !category.headlines.isEmpty()) {
        // The oldest: smallest timestamp text, the first such in list order.
        qsizetype oldest = 0;
        for (qsizetype i = 1; i < category.headlines.size(); ++i)
            if (category.headlines.at(i).timestamp < category.headlines.at(oldest).timestamp)
                oldest = i;
        if (keptGone && category.headlines.at(oldest).id == keepId)
            *keptGone = true;
        category.headlines.removeAt(oldest);
        changed = true;
    }
    return changed;
}

CHeadlineList::AddResult CHeadlineList::add(const Headline& headline)
{
    AddResult result;
    for (qsizetype c = 0; c < m_categories.size(); ++c) {
        HeadlineCategory& category = m_categories[c];
        if (category.id != headline.topId) {
            if (trim(category))
                result.trimmed.append(int(c));
            continue;
        }
        for (const Headline& existing : std::as_const(category.headlines))
            if (existing.id == headline.id)
                return result;
        // Newest first; a newcomer goes after those with the same timestamp.
        qsizetype at = 0;
        while (at < category.headlines.size() &&
               !(category.headlines.at(at).timestamp < headline.timestamp))
            ++at;
        category.headlines.insert(at, headline);
        bool gone = false;
        trim(category, headline.id, &gone);
        result.trimmed.append(int(c));
        if (!gone)
            result.category = int(c);
        return result;
    }
    return result;
}

void CHeadlineList::setSeen(int topId, int id)
{
    for (HeadlineCategory& category : m_categories) {
        if (category.id != topId)
            continue;
        for (Headline& h : category.headlines)
            if (h.id == id)
                h.isNew = false;
    }
}

QByteArray CHeadlineList::formatStore() const
{
    QString out = QStringLiteral("<topnews>\n");
    for (const HeadlineCategory& category : m_categories)
        for (const Headline& h : category.headlines)
            out += formatHeadlineRecord(h);
    out += QStringLiteral("</topnews>\n");
    return encodeText(out);
}
