#pragma once

#include "pager/core/categoryfile.h"

#include <QTreeWidget>

class CCategoryItem;

// The category page: the server's category tree with a tick per category,
// kept in "category.dat".
class CCategoryTree : public QTreeWidget
{
    Q_OBJECT
public:
    explicit CCategoryTree(QWidget* parent = nullptr);

    // Reads a file of the data directory into the tree. An unreadable or
    // corrupt file ends the program with status 1 after a message box.
    bool load(const QString& fileName);
    bool save(const QString& fileName);
    QString contentRequestArgument(int entries) const;
    void populateTopLevel(QTreeWidget* target) const;

    // The tree as plain data, ticks included.
    CategoryFile snapshot() const;
    // Sets every tick back to what `before` (an earlier snapshot) held;
    // categories it does not know keep theirs.
    void restoreTicks(const CategoryFile& before);

    int version = 0;
    int numEntries = 0;

public slots:
    void slotLoadCategories();

signals:
    void categoriesLoaded();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build(const QList<CategoryNode>& nodes, QTreeWidgetItem* parent);
};
