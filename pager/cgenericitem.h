#pragma once

#include <QTreeWidgetItem>

class CWWWServer;

// Base of every row in the pager's tree views: the controller forwards
// selection and double-clicks to the row itself.
class CGenericItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    virtual void itemSelected(CWWWServer* server) { Q_UNUSED(server); }
    virtual void itemDoubleClicked() {}
};
