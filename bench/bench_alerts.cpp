// Matches vulnerability feeds of 1,000 and 10,000 records against 50
// profiles of 40 entries and 200 custom categories over a tree of 2,000
// vendors; prints the time per record. Titles carry keyword-like words, so
// the keyword search cannot be passed over by a cheap test.

#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"
#include "inventory/core/vulnfeed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

namespace {

constexpr int vendors = 2000;
constexpr int productsPerVendor = 5;

int productId(int vendor, int k)
{
    return vendor * 10 + k;
}

CVulnTree buildTree()
{
    CVulnTree tree;
    for (int v = 1; v <= vendors; ++v) {
        tree.addVendor(v, QStringLiteral("Vendor %1 Systems").arg(v));
        for (int k = 0; k < productsPerVendor; ++k)
            tree.addProduct(v, productId(v, k), QStringLiteral("Product %1 server").arg(k));
    }
    return tree;
}

CInventory buildInventory(QRandomGenerator& rng)
{
    CInventory inv;
    QList<int> customIds;
    for (int c = 0; c < 200; ++c)
        customIds << inv.addCustom(QStringLiteral("Custom %1").arg(c),
                                   QStringLiteral("kw%1a, kw%1b,kw%1c").arg(c));
    for (int p = 0; p < 50; ++p) {
        CNetworkEntity& profile = inv.profiles()[inv.newEntity(QStringLiteral("Site %1").arg(p))];
        for (int e = 0; e < 40; ++e) {
            const int v = 1 + int(rng.bounded(vendors));
            if (e % 4 == 0)
                profile.addProduct(QStringLiteral("CUSTOM"), 0, QStringLiteral("c"),
                                   customIds.at(int(rng.bounded(200))));
            else if (e % 4 == 1)
                profile.addProduct(QStringLiteral("v"), v, QStringLiteral("ALL Products"), 0);
            else
                profile.addProduct(QStringLiteral("v"), v, QStringLiteral("p"),
                                   productId(v, int(rng.bounded(productsPerVendor))));
        }
    }
    return inv;
}

QString buildFeed(int records, QRandomGenerator& rng)
{
    QString text;
    for (int i = 0; i < records; ++i) {
        QString vulnerable;
        for (int k = 0; k < 3; ++k) {
            const int v = 1 + int(rng.bounded(vendors));
            if (k)
                vulnerable += u',';
            vulnerable += QString::number(v) + u':' +
                          QString::number(productId(v, int(rng.bounded(productsPerVendor))));
        }
        text += QStringLiteral("<vuln>\n\t<qid>") + QString::number(i) +
                QStringLiteral("</qid>\n\t<title>Remote overflow in kw") +
                QString::number(i % 400) +
                QStringLiteral("x daemon</title>\n"
                               "\t<object>o</object>\n\t<class>Input Validation</class>\n"
                               "\t<remote>Yes</remote>\n\t<local>No</local>\n"
                               "\t<published>2026-01-01</published>\n\t<updated>2026-01-") +
                QString::number(10 + i % 20) + QStringLiteral("</updated>\n\t<vulnerable>") +
                vulnerable + QStringLiteral("</vulnerable>\n\t<notvulnerable>1:10") +
                QStringLiteral("</notvulnerable>\n\t<discussion>A long discussion text.\n"
                               "Over lines.</discussion>\n\t<exploit>None.</exploit>\n"
                               "\t<solution>Upgrade.</solution>\n\t<credit>Someone.</credit>\n"
                               "</vuln>\n");
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QRandomGenerator rng(14);
    const CVulnTree tree = buildTree();
    const CInventory inventory = buildInventory(rng);
    double perRecord[2] = {0, 0};
    const int sizes[2] = {1000, 10000};
    for (int i = 0; i < 2; ++i) {
        const QString feed = buildFeed(sizes[i], rng);
        QElapsedTimer clock;
        clock.start();
        const qsizetype complete = readVulnFeed(feed).size();
        const qint64 readNs = clock.nsecsElapsed();
        clock.restart();
        const VulnFeedResult result = processVulnFeed(feed, inventory, tree);
        const qint64 ns = clock.nsecsElapsed();
        std::printf("%6d records: reading alone %.2f us per record (%d complete)\n", sizes[i],
                    readNs / 1000.0 / sizes[i], int(complete));
        perRecord[i] = ns / 1000.0 / sizes[i];
        std::printf("%6d records: %8.1f ms, %7.2f us per record, %d matched\n", sizes[i], ns / 1e6,
                    perRecord[i], int(result.notices.size()));
    }
    std::printf("per-record ratio 10,000 / 1,000: %.2f (target at most 1.5)\n",
                perRecord[1] / perRecord[0]);
    std::printf("target under 100 us per record at 10,000: %s\n",
                perRecord[1] < 100 ? "met" : "missed");
    return 0;
}
