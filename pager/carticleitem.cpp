#include "pager/carticleitem.h"

#include "net/core/cwwwserver.h"
#include "pager/core/feedbacktext.h"
#include "pager/icons.h"
#include "pager/navigate.h"

#include <QTextStream>

CArticleItem::CArticleItem(QTreeWidgetItem* parent, const QString& title, const QString& link,
                           const QString& timestamp, int id, int topId, int index)
    : CGenericItem(QStringList(title)), link(link), timestamp(timestamp), id(id), topId(topId)
{
    if (index < 0 || index > parent->childCount())
        parent->addChild(this);
    else
        parent->insertChild(index, this);
    setNew(true);
    setToolTip(0, headlineToolTip(title, timestamp));
}

void CArticleItem::setNew(bool value)
{
    isNew = value;
    QTreeWidgetItem* category = parent();
    if (value) {
        setIcon(0, newHeadlineIcon());
        if (category)
            category->setIcon(0, newHeadlineIcon());
        return;
    }
    setIcon(0, QIcon());
    if (!category)
        return;
    bool anyNew = false;
    for (int i = 0; i < category->childCount() && !anyNew; ++i) {
        const auto* item = dynamic_cast<const CArticleItem*>(category->child(i));
        anyNew = item && item->isNew;
    }
    category->setIcon(0, anyNew ? newHeadlineIcon() : QIcon());
}

void CArticleItem::itemSelected(CWWWServer* server)
{
    setNew(false);
    if (server)
        server->enqueue(AbstractFetch, QStringLiteral("what=") + QString::number(topId) +
                                           QStringLiteral("&item=") + QString::number(id));
}

void CArticleItem::itemDoubleClicked()
{
    navigateTo(link, true);
}

void CArticleItem::writeRecord(QTextStream& out) const
{
    out << formatHeadlineRecord(Headline{text(0), link, timestamp, id, topId, isNew});
}

bool CArticleItem::operator<(const QTreeWidgetItem& other) const
{
    if (const auto* article = dynamic_cast<const CArticleItem*>(&other))
        return timestamp < article->timestamp;
    return QTreeWidgetItem::operator<(other);
}
