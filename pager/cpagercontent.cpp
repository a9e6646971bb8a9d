// The content side of the controller: merging replies into the headline
// list, announcing new content and the article store.
#include "pager/cpager.h"

#include "config/cconfig.h"
#include "config/cdesktopnotifier.h"
#include "config/coptions.h"
#include "config/core/desktopnotice.h"
#include "net/core/cwwwserver.h"
#include "pager/carticleitem.h"
#include "pager/ccategoryitem.h"
#include "pager/ccategorytree.h"
#include "pager/core/atomicfile.h"
#include "pager/core/globals.h"
#include "pager/core/textencoding.h"

#include <QFile>
#include <QMessageBox>
#include <QSet>
#include <QTextBrowser>
#include <QTreeWidget>

void CPager::slotUpdateTopLevel()
{
    showVersionBanner();
    if (articlesReady)
        saveArticles(QStringLiteral("article.dat"));
    categoryPage()->populateTopLevel(headlineList);
    QList<QPair<int, QString>> categories;
    for (int i = 0; i < headlineList->topLevelItemCount(); ++i)
        if (const auto* item = dynamic_cast<const CCategoryItem*>(headlineList->topLevelItem(i)))
            categories.append({item->getId(), item->text(0)});
    m_headlines.setCategories(categories);
    articlesReady = false;
    loadArticles(QStringLiteral("article.dat"));
    m_storeRead = true;
    articlesReady = true;
    showVersionBanner();
}

void CPager::slotReceiveContent(QString& text)
{
    newContentSeen = false;
    newCategories.clear();
    m_newHeadlines.clear();
    const ContentReply reply = parseContentReply(text);
    if (reply.oldCategoryFile) {
        debugLine(QStringLiteral("old category file"));
        repollWanted = true;
        server->enqueue(CategoryUpdate, QString());
        return;
    }
    for (Headline h : reply.records)
        slotNewContentItem(h.title, h.link, h.timestamp, h.id, h.topId, h.isNew);
    if (newContentSeen && articlesReady)
        slotNotifyContent();
    emit newHeadlineCountChanged(newHeadlineCount());
}

void CPager::slotNewContentItem(QString& title, QString& link, QString& timestamp, int id,
                                int topId, bool isNew)
{
    m_headlines.setLimit(numItems);
    const CHeadlineList::AddResult result =
        m_headlines.add(Headline{title, link, timestamp, id, topId, isNew});
    for (int index : result.trimmed)
        syncCategory(index);
    if (result.category < 0)
        return;
    noteNewCategory(newCategories, m_headlines.categories().at(result.category).name);
    m_newHeadlines.append({m_headlines.categories().at(result.category).name, title});
    newContentSeen = true;
}

// Brings one category row's children in line with the kept headlines; both
// are in the same order, newest first.
void CPager::syncCategory(int index)
{
    QTreeWidgetItem* category = headlineList->topLevelItem(index);
    if (!category || index >= m_headlines.categories().size())
        return;
    const QList<Headline>& kept = m_headlines.categories().at(index).headlines;
    QSet<int> keptIds;
    for (const Headline& h : kept)
        keptIds.insert(h.id);
    for (int i = category->childCount() - 1; i >= 0; --i) {
        const auto* item = dynamic_cast<const CArticleItem*>(category->child(i));
        if (!item || !keptIds.contains(item->getId()))
            delete category->takeChild(i);
    }
    for (int i = 0; i < kept.size(); ++i) {
        const auto* shown = dynamic_cast<const CArticleItem*>(category->child(i));
        if (shown && shown->getId() == kept.at(i).id)
            continue;
        const Headline& h = kept.at(i);
        auto* item = new CArticleItem(category, h.title, h.link, h.timestamp, h.id, h.topId, i);
        if (!h.isNew)
            item->setNew(false);
    }
    bool anyNew = false;
    for (const Headline& h : kept)
        anyNew = anyNew || h.isNew;
    if (!anyNew)
        category->setIcon(0, QIcon());
}

void CPager::slotNotifyContent()
{
    debugLine(QStringLiteral("New Content"));
    const COptions* options = configDialog->optionsPage();
    if (options->flashIcon())
        startFlashing();
    if (!options->popupWindow())
        return;
    const DesktopNotices notices = options->desktopNotices();
    if (notices != DesktopNotices::Off) {
        // Without a notification service the user still gets the box.
        const QStringList categories = newCategories;
        m_notifier->send(
            headlineNotice(m_newHeadlines), this,
            [this, categories] { showNewContentBox(categories); }, QStringLiteral("news"));
    }
    if (notices != DesktopNotices::Instead)
        showNewContentBox(newCategories);
}

void CPager::showNewContentBox(const QStringList& categories)
{
    if (newContentBox) {
        // One box at a time: news arriving while it is open joins it.
        for (const QString& name : categories)
            ::noteNewCategory(shownCategories, name);
        newContentBox->setText(newContentText(shownCategories));
        return;
    }
    pollTimer.stop();
    shownCategories = categories;
    // Shown without a nested event loop: the reply handler that got here
    // returns at once, so the link goes on serving replies while the box is up.
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Orvelle Pager"),
                                newContentText(shownCategories), QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    box->setWindowModality(Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this] {
        stopFlashing();
        pollTimer.start(pollIntervalMs());
    });
    newContentBox = box;
    box->show();
}

QString CPager::newContentText(const QStringList& categories)
{
    return QStringLiteral("There is new Orvelle Pager content in the following categories:\n\n") +
           categories.join(QStringLiteral(", "));
}

int CPager::newHeadlineCount() const
{
    int count = 0;
    for (const HeadlineCategory& category : m_headlines.categories())
        for (const Headline& h : category.headlines)
            count += h.isNew ? 1 : 0;
    return count;
}

bool CPager::saveArticles(const QString& fileName)
{
    // Until the store has been read (the category file may still be on its
    // way), the list is empty: writing it would throw the headlines away.
    if (!m_storeRead && QFile::exists(dataDirPath + fileName))
        return true;
    return writeFileAtomically(dataDirPath + fileName, m_headlines.formatStore());
}

bool CPager::loadArticles(const QString& fileName)
{
    QFile file(dataDirPath + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString text = decodeText(file.readAll());
    file.close();
    slotReceiveContent(text);
    return true;
}
