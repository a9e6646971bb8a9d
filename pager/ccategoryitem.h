#pragma once

#include "pager/cgenericitem.h"

// One category of the server's tree; checkable in the category page, plain
// as a top-level row of the headline list.
class CCategoryItem : public CGenericItem
{
public:
    CCategoryItem(QTreeWidget* parent, const QString& name, int topId, int id, int parentId,
                  bool checkable);
    CCategoryItem(QTreeWidgetItem* parent, const QString& name, int topId, int id, int parentId,
                  bool checkable);

    void setOn(bool on);
    void setOnTree(bool on);
    bool hasSelectedDescendant() const;
    // Toggles the tick the way a click does: a subtree follows, and unticking
    // also unticks every ancestor.
    void activate();

    bool isOn() const { return on; }
    int getParentId() const { return parentId; }
    int getId() const { return id; }
    int getTopId() const { return topId; }
    bool isCheckable() const { return checkable; }

private:
    int topId;
    int id;
    int parentId;
    bool on = false;
    bool checkable;
};
