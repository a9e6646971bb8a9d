#pragma once

// The headlines the pager keeps, and the article store "article.dat", which
// is written in the content reply's own format:
//   <topnews>
//   <headline>
//   	<category>0</category>
//   	<link>URL</link>
//   	<title>text</title>
//   	<id>n</id>
//   	<timestamp>text</timestamp>
//   	<topcategory>n</topcategory>
//   	<newflag>1|0</newflag>
//   </headline>
//   ...
//   </topnews>
// Values are written unescaped. Timestamps compare as text, so the server
// must send them fixed-width, most significant first.

#include <QList>
#include <QString>
#include <QStringList>

struct Headline
{
    QString title;
    QString link;
    QString timestamp;
    int id = 0;
    int topId = 0;
    bool isNew = true;
};

struct HeadlineCategory
{
    int id = 0;
    QString name;
    QList<Headline> headlines; // newest first, as the list shows them
};

// One record of the store layout, nine lines.
QString formatHeadlineRecord(const Headline& headline);

struct ContentReply
{
    bool oldCategoryFile = false; // the server asks for a new category file
    QList<Headline> records;      // well-formed records, in reply order
};

// Reads the "topnews" element of a content reply or of the store. Records
// missing a field, or with an id or top category that is not a number, are
// skipped.
ContentReply parseContentReply(const QString& text);

// Adds `name` to the list of categories with news unless it is there
// already. Names are kept apart; they are joined only to be shown, since a
// name may hold the separator itself.
void noteNewCategory(QStringList& list, const QString& name);

class CHeadlineList
{
public:
    void setCategories(const QList<QPair<int, QString>>& categories);
    void setLimit(int perCategory) { m_limit = perCategory; }
    int limit() const { return m_limit; }

    struct AddResult
    {
        int category = -1;  // index of the category that gained the headline, -1 if none
        QList<int> trimmed; // indexes of categories that lost headlines
    };
    // The merge rule for one headline: every category before the matching
    // one is trimmed; a duplicate id changes nothing; the category is cut to
    // the limit by dropping its oldest headline, possibly the newcomer.
    AddResult add(const Headline& headline);

    void setSeen(int topId, int id);
    const QList<HeadlineCategory>& categories() const { return m_categories; }
    QByteArray formatStore() const;

private:
    bool trim(HeadlineCategory& category, int keepId = -1, bool* keptGone = nullptr);

    QList<HeadlineCategory> m_categories;
    int m_limit = 5;
};
