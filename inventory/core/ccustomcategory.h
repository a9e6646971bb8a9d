#pragma once

#include <QString>

// A product category the vulnerability tree does not list, matched by
// keywords (comma separated). `id` is at least 1 and unique in an inventory.
struct CCustomCategory
{
    QString name;
    QString keywords;
    int id = 0;
};
