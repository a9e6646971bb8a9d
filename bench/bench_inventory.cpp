// The inventory at size: a tree of 2,000 vendors with 20 products each and
// inventories of 50 and 500 profiles with 40 entries each, 200 custom
// categories. Prints the time to read the tree, to load and save the
// inventory, to look up every entry in the tree, and to build the page.

#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"
#include "inventory/netinventory.h"
#include "pager/core/globals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int vendorCount = 2000;
constexpr int productsPerVendor = 20;
constexpr int entriesPerProfile = 40;
constexpr int customCount = 200;

QByteArray treeFile()
{
    QByteArray out = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nVERSION=12\r\n";
    for (int v = 1; v <= vendorCount; ++v) {
        out +=
            "0," + QByteArray::number(v) + ",\"Vendor number " + QByteArray::number(v) + "\"\r\n";
        for (int p = 1; p <= productsPerVendor; ++p) {
            const int pid = v * 100 + p;
            out += QByteArray::number(v) + ',' + QByteArray::number(pid) + ",\"Product " +
                   QByteArray::number(pid) + " server edition\"\r\n";
        }
    }
    return out;
}

// Product entries mostly, a vendor-wide entry and a custom one now and then,
// spread over the whole tree.
QString inventoryFile(int profiles)
{
    CInventory inventory;
    for (int c = 0; c < customCount; ++c)
        inventory.addCustom(QStringLiteral("Custom ") + QString::number(c),
                            QStringLiteral("word") + QString::number(c) +
                                QStringLiteral(", other"));
    for (int i = 0; i < profiles; ++i) {
        CNetworkEntity& profile =
            inventory
                .profiles()[inventory.newEntity(QStringLiteral("Profile ") + QString::number(i))];
        for (int e = 0; e < entriesPerProfile; ++e) {
            const int vendor = 1 + (i * 37 + e * 53) % vendorCount;
            if (e % 10 == 9)
                profile.entries.append({QString(), 0, QString(), 1 + (i + e) % customCount});
            else if (e % 10 == 8)
                profile.entries.append({QString(), vendor, QString(), 0});
            else
                profile.entries.append({QString(), vendor, QString(), vendor * 100 + 1 + e % 20});
        }
    }
    return inventory.fileText();
}

// Walks more memory than the caches hold, so every run starts cold: a
// small inventory would otherwise stay cached from the run before and look
// cheaper per entry than a large one for that reason alone.
void flushCaches()
{
    static std::vector<char> junk(64 << 20);
    for (std::size_t i = 0; i < junk.size(); i += 64)
        junk[i] = char(junk[i] + 1);
}

// Best of a few runs, in milliseconds.
double bestOf(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int r = 0; r < runs; ++r) {
        flushCaches();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

struct Figures
{
    int entries = 0;
    double load = 0, save = 0, lookup = 0;
};

Figures measure(const CVulnTree& tree, int profiles, const QString& dir)
{
    const QString text = inventoryFile(profiles);
    Figures f;
    CInventory inventory;
    // Small runs are over in a blink; more of them find a quiet moment.
    f.load = bestOf(profiles < 100 ? 25 : 7, [&] { inventory.parseInventory(text, tree); });
    for (const CNetworkEntity& p : inventory.profiles())
        f.entries += int(p.entries.size());
    const QString path = dir + QStringLiteral("/netinventory.dat");
    f.save = bestOf(5, [&] { inventory.save(path); });
    int found = 0;
    f.lookup = bestOf(5, [&] {
        found = 0;
        for (const CNetworkEntity& p : inventory.profiles()) {
            for (const CProductItem& e : p.entries) {
                if (e.vid != 0)
                    found += tree.findVulnItem(e.pid == 0 ? e.vid : e.pid, e.pid != 0).isValid();
            }
        }
    });
    if (QFile(path).size() == 0 || found == 0)
        std::fprintf(stderr, "bench_inventory: nothing saved or found\n");
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    dataDirPath = dir.path() + u'/';

    const QByteArray treeBytes = treeFile();
    VulnTreeRead read;
    const double treeMs = bestOf(5, [&] { read = readVulnCategoryFile(treeBytes); });
    std::printf("vulnerability tree: %lld rows, %.1f KB, read in %.2f ms\n",
                static_cast<long long>(read.tree.rowCount()), treeBytes.size() / 1024.0, treeMs);

    const Figures small = measure(read.tree, 50, dir.path());
    const Figures large = measure(read.tree, 500, dir.path());
    for (const Figures* f : {&small, &large}) {
        std::printf("%6d entries: load %8.2f ms (%.2f us/entry), save %8.2f ms, "
                    "findVulnItem for every entry %6.3f ms (%.3f us/entry)\n",
                    f->entries, f->load, 1000 * f->load / f->entries, f->save, f->lookup,
                    1000 * f->lookup / f->entries);
    }
    const double ratio = (large.load / large.entries) / (small.load / small.entries);
    std::printf("load per entry, 10x entries / 1x: %.2f (%s)\n", ratio,
                ratio < 1.5 ? "within 1.5" : "over 1.5: a busy machine, or no longer linear");

    // The page as the program builds it: tree file, inventory file, views.
    {
        QFile f(dataDirPath + QStringLiteral("vulncategory.dat"));
        f.open(QIODevice::WriteOnly);
        f.write(treeBytes);
    }
    {
        QFile f(dataDirPath + QStringLiteral("netinventory.dat"));
        f.open(QIODevice::WriteOnly);
        f.write(inventoryFile(50).toUtf8());
    }
    const double pageMs = bestOf(3, [] { CNetInventory page(nullptr, nullptr); });
    std::printf("inventory page with the tree and 50 profiles built in %.1f ms\n", pageMs);
    return 0;
}
