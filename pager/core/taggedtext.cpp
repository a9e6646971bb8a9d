#include "taggedtext.h"

namespace {

// First occurrence of `pattern` at or after `from` that is followed by a blank
// or ">"; -1 when there is none.
qsizetype findTag(const QString& text, const QString& pattern, qsizetype from = 0)
{
    for (;;) {
        const qsizetype at = text.indexOf(pattern, from, Qt::CaseInsensitive);
        if (at < 0)
            return -1;
        const qsizetype after = at + pattern.size();
        if (after < text.size() && (text.at(after) == u' ' || text.at(after) == u'>'))
            return at;
        from = after;
    }
}

} // namespace

bool takeTaggedValue(const QString& name, QString& source, QString& value)
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

    value = source.mid(openEnd + 1, closeAt - openEnd - 1);
    source.remove(openAt, closeEnd - openAt + 1);
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
