#pragma once

#include "pager/cgenericitem.h"
#include "pager/core/headlinelist.h"

class QTextStream;

// One headline under its category in the headline list. Sorted by the text
// of its timestamp; marked with an icon until it has been selected.
class CArticleItem : public CGenericItem
{
public:
    CArticleItem(QTreeWidgetItem* parent, const QString& title, const QString& link,
                 const QString& timestamp, int id, int topId, int index = -1);

    void setNew(bool value);
    void itemSelected(CWWWServer* server) override;
    void itemDoubleClicked() override;
    void writeRecord(QTextStream& out) const;

    bool getIsNew() const { return isNew; }
    QString getTimestamp() const { return timestamp; }
    QString getLink() const { return link; }
    int getTopId() const { return topId; }
    int getId() const { return id; }

    bool operator<(const QTreeWidgetItem& other) const override;

private:
    QString link;
    QString timestamp;
    int id;
    int topId;
    bool isNew = true;
};
