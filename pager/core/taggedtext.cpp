#include "pager/core/taggedtext.h"

#include <QVarLengthArray>

namespace {

template <typename Pattern> bool sameNameAt(QStringView text, qsizetype at, Pattern pattern)
{
    for (qsizetype k = 0; k < pattern.size(); ++k) {
        const char16_t t = text[at + k].unicode(), p = QChar(pattern[k]).unicode();
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

// Which of `names` has a tag starting at the "<" at text[at], or -1.
qsizetype tagAt(QStringView text, qsizetype at, const QLatin1String* names, qsizetype count,
                bool& closing)
{
    qsizetype from = at + 1;
    closing = from < text.size() && text[from] == u'/';
    if (closing)
        ++from;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype end = from + names[i].size();
        if (end < text.size() && (text[end] == u' ' || text[end] == u'>') &&
            sameNameAt(text, from, names[i]))
            return i;
    }
    return -1;
}

// The fields found in place, when the record's tags are, in order, an
// opening and a closing tag of one name, then of another, and so on, each
// name at most once, with no other "<" about: then no take can join text
// into a new tag or cut into another element, and taking the fields one
// after the other gives the same. False when that cannot be shown.
bool findFieldsInPlace(QStringView record, const QLatin1String* names, qsizetype count,
                       QStringView* values, bool* found)
{
    constexpr qsizetype most = 16;
    if (count > most)
        return false;
    for (qsizetype i = 0; i < count; ++i)
        for (const char c : names[i])
            if (c == ' ' || c == '<' || c == '>' || c == '/')
                return false;
    QStringView view[most];
    bool seen[most] = {};
    qsizetype open = -1;     // the name whose closing tag comes next, or -1
    qsizetype valueFrom = 0; // just after the open tag's ">"
    qsizetype tagEnd = -1;   // the ">" that ends the last tag
    for (qsizetype at = record.indexOf(u'<'); at >= 0; at = record.indexOf(u'<', at + 1)) {
        if (at <= tagEnd)
            return false; // inside the last tag
        bool closing = false;
        const qsizetype i = tagAt(record, at, names, count, closing);
        if (i < 0 || closing != (open >= 0) || (closing ? i != open : seen[i]))
            return false;
        const qsizetype end = at + 1 + closing + names[i].size();
        tagEnd = record[end] == u'>' ? end : record.indexOf(u'>', end);
        if (tagEnd < 0)
            return false;
        if (closing) {
            view[i] = record.mid(valueFrom, at - valueFrom);
            open = -1;
        } else {
            seen[i] = true;
            open = i;
            valueFrom = tagEnd + 1;
        }
    }
    if (open >= 0)
        return false;
    for (qsizetype i = 0; i < count; ++i) {
        found[i] = seen[i];
        if (seen[i])
            values[i] = view[i];
    }
    return true;
}

} // namespace

qsizetype findTag(QStringView text, QStringView pattern, qsizetype from)
{
    // Searching case-insensitively for the whole pattern is slow; every tag
    // starts with "<", which a plain search finds fast, so only the name
    // after it is compared without regard to case.
    for (qsizetype at = text.indexOf(u'<', from); at >= 0; at = text.indexOf(u'<', at + 1))
        if (isTagAt(text, at, pattern))
            return at;
    return -1;
}

bool isTagAt(QStringView text, qsizetype at, QStringView pattern)
{
    const qsizetype end = at + pattern.size();
    if (end >= text.size())
        return false; // a tag needs a character after its name
    const QChar next = text[end];
    return (next == u' ' || next == u'>') && sameNameAt(text, at, pattern);
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

void takeTaggedValues(QStringView record, const QLatin1String* names, qsizetype count,
                      QStringView* values, bool* found, QString& store)
{
    if (findFieldsInPlace(record, names, count, values, found))
        return;
    QString text = record.toString();
    QVarLengthArray<QString, 16> taken(count);
    for (qsizetype i = 0; i < count; ++i)
        found[i] = takeTaggedValue(QString(names[i]), text, taken[i]);
    qsizetype total = 0;
    for (const QString& value : taken)
        total += value.size();
    store.clear();
    store.reserve(total);
    for (const QString& value : taken)
        store += value;
    // Views only once the store is whole, so none points at a moved buffer.
    qsizetype at = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (found[i])
            values[i] = QStringView(store).mid(at, taken[i].size());
        at += taken[i].size();
    }
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
