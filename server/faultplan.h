#pragma once

// Faults to inject for tests, given as "mode:target,mode:target,...":
// mode is cut (half the reply, then close), hang (answer nothing, keep the
// connection), garbage (random bytes), error (status 500) or huge (a reply
// of 20 MB); target is a request path ("/pagerv3/pager_info.html"), "*" for
// every request, or a probability between 0 and 1.

#include <QList>
#include <QRandomGenerator>
#include <QString>

class CFaultPlan
{
public:
    enum Fault
    {
        None,
        Cut,
        Hang,
        Garbage,
        Error,
        Huge
    };

    // False with a reason for a malformed plan.
    bool parse(const QString& plan, QString* error);
    void setSeed(quint32 seed) { m_random.seed(seed); }
    // The fault for one request to `path`; the first rule that fires wins.
    Fault pick(const QString& path);
    static QString name(Fault fault);

private:
    struct Rule
    {
        Fault fault = None;
        QString path; // empty: by chance
        double chance = 0;
    };
    QList<Rule> m_rules;
    QRandomGenerator m_random{20261206};
};
