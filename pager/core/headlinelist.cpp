#include "pager/core/headlinelist.h"

#include "pager/core/ctaggedwalker.h"
#include "pager/core/taggedtext.h"
#include "pager/core/textencoding.h"

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
    QString record;
    while (walker.take(record)) {
        Headline h;
        QString category, id, topId, newFlag;
        if (!takeTaggedValue(QStringLiteral("category"), record, category) ||
            !takeTaggedValue(QStringLiteral("link"), record, h.link) ||
            !takeTaggedValue(QStringLiteral("title"), record, h.title) ||
            !takeTaggedValue(QStringLiteral("id"), record, id) ||
            !takeTaggedValue(QStringLiteral("timestamp"), record, h.timestamp) ||
            !takeTaggedValue(QStringLiteral("topcategory"), record, topId))
            continue;
        if (takeTaggedValue(QStringLiteral("newflag"), record, newFlag)) {
            bool ok = false;
            const int flag = newFlag.trimmed().toInt(&ok);
            h.isNew = ok && flag != 0;
        }
        bool idOk = false, topOk = false;
        h.id = id.trimmed().toInt(&idOk);
        h.topId = topId.trimmed().toInt(&topOk);
        if (!idOk || !topOk)
            continue;
        reply.records.append(h);
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
