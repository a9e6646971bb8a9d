#include "pager/ccategorytree.h"

#include "pager/ccategoryitem.h"
#include "pager/core/atomicfile.h"
#include "pager/core/globals.h"
#include "pager/core/textencoding.h"

#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>

#include <cstdlib>

namespace {

CategoryNode nodeOf(const CCategoryItem* item)
{
    CategoryNode node{item->getTopId(), item->getParentId(), item->getId(),
                      item->text(0),    item->isOn(),        {}};
    for (int i = 0; i < item->childCount(); ++i)
        if (const auto* child = dynamic_cast<const CCategoryItem*>(item->child(i)))
            node.children.append(nodeOf(child));
    return node;
}

} // namespace

CCategoryTree::CCategoryTree(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderLabel(QString());
    setRootIsDecorated(true);
    header()->hide();
    // A click toggles the tick, as on a check list.
    connect(this, &QTreeWidget::itemClicked, this, [](QTreeWidgetItem* item) {
        if (auto* category = dynamic_cast<CCategoryItem*>(item))
            category->activate();
    });
}

bool CCategoryTree::load(const QString& fileName)
{
    version = 0;
    numEntries = 0;
    QFile file(dataDirPath + fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::critical(nullptr, QStringLiteral("Oh-No"),
                              QStringLiteral("Cannot open category file"));
        std::exit(1);
    }
    clear();
    CategoryFile parsed = parseCategoryFile(decodeText(file.readAll()));
    file.close();
    if (!parsed.isValid()) {
        QMessageBox::critical(nullptr, QStringLiteral("Uh-Oh"),
                              QStringLiteral("Category file is corrupted"));
        qWarning("VERSION = %d, NUMENTRIES = %d, Counted %d entries", parsed.version,
                 parsed.numEntries, parsed.counted);
        std::exit(1);
    }
    version = parsed.version;
    numEntries = parsed.numEntries;

    QFile old(dataDirPath + QStringLiteral("category.old"));
    const bool carryOver = old.open(QIODevice::ReadOnly);
    if (carryOver) {
        applyOldTicks(parsed, decodeText(old.readAll()));
        old.close();
    }
    build(parsed.topLevel, nullptr);
    if (carryOver) {
        QFile::remove(old.fileName());
        save(QStringLiteral("category.dat"));
    }
    emit categoriesLoaded();
    return true;
}

void CCategoryTree::build(const QList<CategoryNode>& nodes, QTreeWidgetItem* parent)
{
    for (const CategoryNode& n : nodes) {
        CCategoryItem* item =
            parent ? new CCategoryItem(parent, n.name, n.topId, n.id, n.parentId, true)
                   : new CCategoryItem(this, n.name, n.topId, n.id, n.parentId, true);
        item->setOn(n.on);
        build(n.children, item);
    }
}

CategoryFile CCategoryTree::snapshot() const
{
    CategoryFile file;
    file.version = version;
    file.numEntries = numEntries;
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (const auto* item = dynamic_cast<const CCategoryItem*>(topLevelItem(i)))
            file.topLevel.append(nodeOf(item));
    return file;
}

void CCategoryTree::restoreTicks(const CategoryFile& before)
{
    QList<CategoryNode> nodes = before.topLevel;
    QList<QTreeWidgetItem*> pending;
    for (int i = 0; i < topLevelItemCount(); ++i)
        pending.append(topLevelItem(i));
    while (!pending.isEmpty()) {
        QTreeWidgetItem* item = pending.takeLast();
        for (int i = 0; i < item->childCount(); ++i)
            pending.append(item->child(i));
        auto* category = dynamic_cast<CCategoryItem*>(item);
        if (!category)
            continue;
        if (const CategoryNode* node = findCategory(nodes, category->getId(), category->getTopId()))
            category->setOn(node->on);
    }
}

bool CCategoryTree::save(const QString& fileName)
{
    return writeFileAtomically(dataDirPath + fileName, formatCategoryFile(snapshot()));
}

QString CCategoryTree::contentRequestArgument(int entries) const
{
    return ::contentRequestArgument(snapshot(), entries);
}

void CCategoryTree::populateTopLevel(QTreeWidget* target) const
{
    target->clear();
    new CCategoryItem(target, QStringLiteral("announcements"), announcementsId, announcementsId, 0,
                      false);
    for (const CategoryNode& top : snapshot().topLevel)
        if (top.on || hasTickedDescendant(top))
            new CCategoryItem(target, top.name, top.topId, top.id, top.parentId, false);
}

void CCategoryTree::keyPressEvent(QKeyEvent* event)
{
    // Space ticks as a click does, instead of only selecting.
    auto* category = dynamic_cast<CCategoryItem*>(currentItem());
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && category) {
        category->activate();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void CCategoryTree::slotLoadCategories()
{
    load(QStringLiteral("category.dat"));
}
