#include "pager/ccategoryitem.h"

#include "pager/icons.h"

CCategoryItem::CCategoryItem(QTreeWidget* parent, const QString& name, int topId, int id,
                             int parentId, bool checkable)
    : CGenericItem(parent, QStringList(name)), topId(topId), id(id), parentId(parentId),
      checkable(checkable)
{
    setOn(false);
}

CCategoryItem::CCategoryItem(QTreeWidgetItem* parent, const QString& name, int topId, int id,
                             int parentId, bool checkable)
    : CGenericItem(parent, QStringList(name)), topId(topId), id(id), parentId(parentId),
      checkable(checkable)
{
    setOn(false);
}

void CCategoryItem::setOn(bool value)
{
    if (!checkable)
        return;
    setIcon(0, value ? checkedIcon() : uncheckedIcon());
    on = value;
}

void CCategoryItem::setOnTree(bool value)
{
    for (int i = 0; i < childCount(); ++i)
        if (auto* child = dynamic_cast<CCategoryItem*>(this->child(i)))
            child->setOnTree(value);
    setOn(value);
}

bool CCategoryItem::hasSelectedDescendant() const
{
    for (int i = 0; i < childCount(); ++i) {
        const auto* item = dynamic_cast<const CCategoryItem*>(child(i));
        if (item && (item->isOn() || item->hasSelectedDescendant()))
            return true;
    }
    return false;
}

void CCategoryItem::activate()
{
    if (!checkable)
        return;
    const bool value = !on;
    setOnTree(value);
    if (value)
        return;
    for (QTreeWidgetItem* up = parent(); up; up = up->parent())
        if (auto* item = dynamic_cast<CCategoryItem*>(up))
            item->setOn(false);
}
