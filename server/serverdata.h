#pragma once

// What the content server serves, from a directory of plain files:
//   categories.dat       the category file, as the pager stores it
//   vulncategories.dat   vendors and products, "VERSION=n" then rows
//   headlines.txt        top id <TAB> sub id <TAB> title <TAB> abstract
//   vulns.txt            records of "field: value" lines, a blank line apart
//   sponsors.txt         link <TAB> first banner line <TAB> second line
// The two category files are read again for every request, so their version
// can be raised while the server runs. Headlines and vulnerabilities are
// released from their pools over time: some at start, one more each poll.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

struct PoolHeadline
{
    int topId = 0;
    int subId = 0;
    QString title;
    QString abstract;
};

struct ReleasedHeadline
{
    int pool = 0; // index into the pool
    int id = 0;   // unique for the life of the server
    QString timestamp;
};

using VulnFields = QMap<QString, QString>;

struct ContentWish
{
    int topId = 0;
    QList<int> subIds; // empty: the whole top-level category
};

class CServerData
{
public:
    explicit CServerData(const QString& directory);

    // Reads the pools; false with a reason when a file is missing or empty.
    bool load(QString* error);
    // Headlines and vulnerabilities available from the start.
    void releaseInitial(int headlinesPerCategory, int vulns);

    QByteArray categoryFile() const;
    QByteArray vulnCategoryFile() const;
    int categoryVersion() const;
    int vulnCategoryVersion() const;

    QByteArray contentReply(int version, int entries, const QList<ContentWish>& wishes);
    QByteArray abstractReply(int topId, int id, bool* found) const;
    QByteArray vulnReply(const QString& after, int version);
    QByteArray adPage();
    QByteArray bannerImage(const QString& name, bool* found) const;

    qsizetype releasedHeadlines() const { return m_released.size(); }
    qsizetype releasedVulns() const { return m_vulnsOut.size(); }

private:
    QString nextTimestamp(qint64 backdateSeconds = 0);
    void releaseHeadline(qint64 backdateSeconds = 0);
    void releaseVuln(qint64 backdateSeconds = 0);
    QByteArray readFile(const QString& name) const;

    QString m_dir;
    QList<PoolHeadline> m_pool;
    QList<ReleasedHeadline> m_released; // oldest first
    QList<VulnFields> m_vulnPool;
    QList<VulnFields> m_vulnsOut; // released, with "updated" set, oldest first
    QList<QStringList> m_sponsors;
    int m_nextSponsor = 0;
    int m_nextId = 1;
    qint64 m_lastStamp = 0;
};

// "VERSION=n" of a category file's text, 0 without one.
int fileVersion(const QByteArray& text);
