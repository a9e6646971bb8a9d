#include "inventory/ccustomitem.h"

CCustomItem::CCustomItem(QTreeWidget* view, const QString& name, const QString& keywords, int id)
    : QTreeWidgetItem(view), id(id)
{
    setText(0, name);
    setText(1, keywords);
}

CCustomItem::~CCustomItem() = default;
