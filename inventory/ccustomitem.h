#pragma once

#include <QTreeWidgetItem>

// A row of the custom list: the category's name and keywords, and its id.
// The rows mirror the inventory's categories, in the same order.
class CCustomItem : public QTreeWidgetItem
{
public:
    CCustomItem(QTreeWidget* view, const QString& name, const QString& keywords, int id);
    ~CCustomItem() override;

    int id;
};
