#include "pager/core/ctaggedwalker.h"

#include "pager/core/taggedtext.h"

CTaggedWalker::CTaggedWalker(const QString& name, const QString& text)
    : CTaggedWalker(name, text, 0, text.size())
{
}

CTaggedWalker::CTaggedWalker(const QString& name, const QString& text, qsizetype from, qsizetype to)
    : m_open(u'<' + name), m_close(QStringLiteral("</") + name), m_text(text),
      m_view(QStringView(m_text).mid(from, to - from))
{
}

qsizetype CTaggedWalker::findTag(const QString& pattern) const
{
    const qsizetype len = pattern.size();
    auto matchesAt = [&](qsizetype i) {
        if (i + len >= size())
            return false; // a tag needs a character after its name
        for (qsizetype k = 0; k < len; ++k)
            if (at(i + k).toCaseFolded() != pattern.at(k).toCaseFolded())
                return false;
        const QChar next = at(i + len);
        return next == u' ' || next == u'>';
    };
    // The prefix holds no tag of its own; only patterns that reach across
    // its end into the rest of the text can be new.
    const qsizetype joinStart = qMax<qsizetype>(0, m_prefix.size() - len);
    for (qsizetype i = joinStart; i < m_prefix.size(); ++i)
        if (matchesAt(i))
            return i;
    const qsizetype hit = ::findTag(m_view, pattern, m_pos);
    return hit < 0 ? -1 : m_prefix.size() + hit - m_pos;
}

qsizetype CTaggedWalker::findChar(QChar c, qsizetype from) const
{
    for (qsizetype i = from; i < m_prefix.size(); ++i)
        if (m_prefix.at(i) == c)
            return i;
    const qsizetype start = m_pos + qMax<qsizetype>(0, from - m_prefix.size());
    const qsizetype hit = m_view.indexOf(c, start);
    return hit < 0 ? -1 : m_prefix.size() + hit - m_pos;
}

QString CTaggedWalker::slice(qsizetype from, qsizetype to) const
{
    QString out;
    if (from < m_prefix.size())
        out = m_prefix.mid(from, qMin(to, m_prefix.size()) - from);
    if (to > m_prefix.size()) {
        const qsizetype start = qMax(from, m_prefix.size());
        out += m_view.mid(m_pos + start - m_prefix.size(), to - start);
    }
    return out;
}

bool CTaggedWalker::take(QString& value)
{
    const qsizetype openAt = findTag(m_open);
    if (openAt < 0)
        return false;
    const qsizetype closeAt = findTag(m_close);
    if (closeAt < 0 || closeAt <= openAt)
        return false;
    const qsizetype openEnd = findChar(u'>', openAt + m_open.size());
    const qsizetype closeEnd = findChar(u'>', closeAt + m_close.size());
    if (openEnd < 0 || closeEnd < 0 || openEnd >= closeAt)
        return false;

    value = slice(openEnd + 1, closeAt);
    // Keep what stood before the element; go on after it.
    const qsizetype restStart = m_pos + closeEnd + 1 - m_prefix.size();
    if (openAt < m_prefix.size())
        m_prefix.truncate(openAt);
    else
        m_prefix += m_view.mid(m_pos, openAt - m_prefix.size());
    m_pos = restStart;
    return true;
}

QString CTaggedWalker::remaining() const
{
    QString out = m_prefix;
    out += m_view.mid(m_pos);
    return out;
}
