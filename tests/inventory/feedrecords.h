#pragma once

// The vulnerability tree, feed records and profiles the feed and alert
// tests share.

#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"

#include <QStringList>

namespace feedrecords {

inline const QByteArray tree = "VERSION=3\n0,10,\"Acme\"\n10,1001,\"Anvil\"\n10,1002,\"Rocket\"\n"
                               "0,20,\"Globex\"\n20,2001,\"Dome\"\n0,30,\"Initech\"\n"
                               "30,3001,\"Stapler Server\"\n";

inline CVulnTree vulnTree()
{
    return readVulnCategoryFile(tree).tree;
}

// One feed record.
inline QString vuln(const QString& qid, const QString& updated, const QString& vulnerable,
                    const QString& title = QStringLiteral("Overflow in a daemon"))
{
    return QStringLiteral("<vuln>\n\t<qid>%1</qid>\n\t<title>%4</title>\n\t<object>obj</object>\n"
                          "\t<class>Boundary Condition Error</class>\n\t<remote>Yes</remote>\n"
                          "\t<local>No</local>\n\t<published>2025-12-30</published>\n"
                          "\t<updated>%2</updated>\n\t<vulnerable>%3</vulnerable>\n"
                          "\t<notvulnerable>10:1002</notvulnerable>\n"
                          "\t<discussion>A long field.\nOver two lines.</discussion>\n"
                          "\t<exploit>None known.</exploit>\n\t<solution>Upgrade.</solution>\n"
                          "\t<credit>A reader.</credit>\n</vuln>\n")
        .arg(qid, updated, vulnerable, title);
}

// Office holds the Anvil, Lab all of Globex.
inline void addProfiles(CInventory& inv)
{
    inv.profiles()[inv.newEntity(QStringLiteral("Office"))].addProduct(
        QStringLiteral("Acme"), 10, QStringLiteral("Anvil"), 1001);
    inv.profiles()[inv.newEntity(QStringLiteral("Lab"))].addProduct(
        QStringLiteral("Globex"), 20, QStringLiteral("ALL Products"), 0);
}

} // namespace feedrecords
