#include "pager/core/taggedtext.h"

namespace {

bool sameNameAt(QStringView text, qsizetype at, QStringView pattern)
{
    for (qsizetype k = 0; k < pattern.size(); ++k) {
        const char16_t t = text[at + k].unicode(), p = pattern[k].unicode();
        if (t == p)
            continue;
        if (t < 128 && p < 128) {
            // ASCII letters differ by case in one bit only.
            if ((t | 0x20) != (p | 0x20) || (t | 0x20) < u'a' || (t | 0x20) > u'z')
                return false;
        } else if (QChar(t).toCaseFolded() != QChar(p).toCaseFolded()) {
            return false;
        }
    }
    return true;
}

} // namespace

qsizetype findTag(QStringView text, QStringView pattern, qsizetype from)
{
    // Searching case-insensitively for the whole pattern is slow; every tag
    // starts with "<", which a plain search finds fast, so only the name
    // after it is compared without regard to case.
    const qsizetype len = pattern.size();
    for (qsizetype at = from;; ++at) {
        at = text.indexOf(u'<', at);
        if (at < 0 || at + len >= text.size())
            return -1;
        if (!sameNameAt(text, at, pattern))
            continue;
        const QChar next = text.at(at + len);
        if (next == u' ' || next == u'>')
            return at;
    }
}

bool findTaggedValue(const QString& name, QStringView source, TaggedSpan& span)
{
    const QString open = u'<' + name;
    const QString close = QStringLiteral("</") + name;

    const qsizetype openAt = findTag(source, open);
    if (openAt < 0)
        return false;
    const qsizetype closeAt = findTag(source, close);
    if (closeAt < 0 || closeAt <= openAt)
        return false;
    const qsizetype openEnd = source.indexOf(u'>', openAt + open.size());
    const qsizetype closeEnd = source.indexOf(u'>', closeAt + close.size());
    // An opening tag whose ">" lies past the closing tag's "<" has no content
    // to give; taking it would hand back a slice that runs backwards.
    if (openEnd < 0 || closeEnd < 0 || openEnd >= closeAt)
        return false;
    span = {openAt, closeEnd + 1, openEnd + 1, closeAt};
    return true;
}

bool takeTaggedValue(const QString& name, QString& source, QString& value)
{
    TaggedSpan span;
    if (!findTaggedValue(name, source, span))
        return false;
    value = source.mid(span.valueFrom, span.valueTo - span.valueFrom);
    source.remove(span.elementFrom, span.elementTo - span.elementFrom);
    return true;
}

void stripMarkup(QString& text)
{
    qsizetype pos = 0;
    for (;;) {
        const qsizetype lt = text.indexOf(u'<', pos);
        if (lt < 0)
            return;
        const qsizetype gt = text.indexOf(u'>', lt + 1);
        if (gt < 0)
            return; // an unclosed "<" stays, with the text after it
        if (gt - lt - 1 <= 199) {
            text.remove(lt, gt - lt + 1);
            pos = lt;
        } else {
            pos = gt;
        }
    }
}
