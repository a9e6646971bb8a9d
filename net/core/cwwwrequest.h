#pragma once

#include <QString>

// Kinds of request the link can send; the numbers are part of the link's
// state (a running exchange of kind k is state k + 1).
enum RequestKind
{
    CategoryUpdate = 0,
    VulnCategoryUpdate = 1,
    AbstractFetch = 2,
    ContentPoll = 3,
    VulnPoll = 4,
    AdPage = 5,
    AdImage = 6,
};

// One waiting request: its kind and the query argument the caller built.
struct CWWWRequest
{
    int kind = CategoryUpdate;
    QString argument;
};
