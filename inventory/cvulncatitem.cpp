#include "inventory/cvulncatitem.h"

CVulnCatItem::CVulnCatItem(QTreeWidget* view, const QString& name, int id)
    : QTreeWidgetItem(view), id(id)
{
    setText(0, name);
}

CVulnCatItem::CVulnCatItem(QTreeWidgetItem* vendor, const QString& name, int id)
    : QTreeWidgetItem(vendor), id(id)
{
    setText(0, name);
}

CVulnCatItem::~CVulnCatItem() = default;
