#pragma once

#include <QString>

// Walks a long text element by element, with exactly the results of
// repeated takeTaggedValue() calls on it, in time linear in the text: the
// text is never shifted; what stays outside the taken elements is gathered
// as a prefix, and only the few characters around each join are re-examined.
class CTaggedWalker
{
public:
    CTaggedWalker(const QString& name, const QString& text);
    // Walks only text[from, to): the content of an enclosing element, taken
    // in place so a long reply is never copied.
    CTaggedWalker(const QString& name, const QString& text, qsizetype from, qsizetype to);

    bool take(QString& value);
    // The same, as a view into the walked text where the value lies in it
    // whole (into the walker otherwise), valid until the next take.
    bool take(QStringView& value);
    // The text as repeated takes would have left it.
    QString remaining() const;

private:
    // The text seen as m_prefix followed by m_text from m_pos on.
    qsizetype size() const { return m_prefix.size() + m_view.size() - m_pos; }
    QChar at(qsizetype i) const
    {
        return i < m_prefix.size() ? m_prefix.at(i) : m_view.at(m_pos + i - m_prefix.size());
    }
    struct Element
    {
        qsizetype openAt, valueFrom, valueTo, closeEnd;
    };
    bool findElement(Element& e) const;
    void skip(const Element& e);
    qsizetype findJoinedTag(const QString& pattern) const;
    qsizetype findChar(QChar c, qsizetype from) const;
    QString slice(qsizetype from, qsizetype to) const;

    QString m_open;
    QString m_close;
    QString m_text; // keeps the walked text alive
    QStringView m_view;
    qsizetype m_pos = 0;
    QString m_prefix;
    QString m_joined; // a value that spans the prefix's end
};
