#pragma once

#include <QTreeWidgetItem>

// A row of the vulnerability tree: a vendor at the top level or a product
// under its vendor, with the service's id.
class CVulnCatItem : public QTreeWidgetItem
{
public:
    CVulnCatItem(QTreeWidget* view, const QString& name, int id);
    CVulnCatItem(QTreeWidgetItem* vendor, const QString& name, int id);
    ~CVulnCatItem() override;

    int id;
};
