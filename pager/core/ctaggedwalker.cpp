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

qsizetype CTaggedWalker::findJoinedTag(const QString& pattern) const
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
    return -1;
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

bool CTaggedWalker::findElement(Element& e) const
{
    qsizetype openAt = findJoinedTag(m_open);
    qsizetype closeAt = findJoinedTag(m_close);
    // One pass over the rest finds the first of each tag; a closing tag
    // before any opening one settles it.
    for (qsizetype i = m_view.indexOf(u'<', m_pos); i >= 0 && (openAt < 0 || closeAt < 0);
         i = m_view.indexOf(u'<', i + 1)) {
        const qsizetype combined = m_prefix.size() + i - m_pos;
        if (closeAt < 0 && isTagAt(m_view, i, m_close)) {
            closeAt = combined;
            if (openAt < 0)
                return false;
        } else if (openAt < 0 && isTagAt(m_view, i, m_open)) {
            openAt = combined;
        }
    }
    if (openAt < 0 || closeAt < 0 || closeAt <= openAt)
        return false;
    const qsizetype openEnd = findChar(u'>', openAt + m_open.size());
    const qsizetype closeEnd = findChar(u'>', closeAt + m_close.size());
    if (openEnd < 0 || closeEnd < 0 || openEnd >= closeAt)
        return false;
    e = {openAt, openEnd + 1, closeAt, closeEnd};
    return true;
}

void CTaggedWalker::skip(const Element& e)
{
    // Keep what stood before the element; go on after it.
    const qsizetype restStart = m_pos + e.closeEnd + 1 - m_prefix.size();
    if (e.openAt < m_prefix.size())
        m_prefix.truncate(e.openAt);
    else
        m_prefix += m_view.mid(m_pos, e.openAt - m_prefix.size());
    m_pos = restStart;
}

bool CTaggedWalker::take(QString& value)
{
    Element e;
    if (!findElement(e))
        return false;
    value = slice(e.valueFrom, e.valueTo);
    skip(e);
    return true;
}

bool CTaggedWalker::take(QStringView& value)
{
    Element e;
    if (!findElement(e))
        return false;
    if (e.valueFrom >= m_prefix.size()) {
        value = m_view.mid(m_pos + e.valueFrom - m_prefix.size(), e.valueTo - e.valueFrom);
    } else {
        m_joined = slice(e.valueFrom, e.valueTo);
        value = m_joined;
    }
    skip(e);
    return true;
}

QString CTaggedWalker::remaining() const
{
    QString out = m_prefix;
    out += m_view.mid(m_pos);
    return out;
}
