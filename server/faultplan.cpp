#include "server/faultplan.h"

namespace {

const char* const names[] = {"none", "cut", "hang", "garbage", "error", "huge"};

} // namespace

QString CFaultPlan::name(Fault fault)
{
    return QLatin1String(names[fault]);
}

bool CFaultPlan::parse(const QString& plan, QString* error)
{
    m_rules.clear();
    for (const QString& item : plan.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype colon = item.indexOf(u':');
        const QString mode = item.left(colon).trimmed();
        const QString target = colon < 0 ? QStringLiteral("*") : item.mid(colon + 1).trimmed();
        Rule rule;
        for (int f = Cut; f <= Huge; ++f)
            if (mode == QLatin1String(names[f]))
                rule.fault = Fault(f);
        if (rule.fault == None) {
            *error = QStringLiteral("unknown fault \"%1\"").arg(mode);
            return false;
        }
        if (target == QLatin1String("*")) {
            rule.chance = 1;
        } else if (target.startsWith(u'/')) {
            rule.path = target;
        } else {
            bool ok = false;
            rule.chance = target.toDouble(&ok);
            if (!ok || rule.chance < 0 || rule.chance > 1) {
                *error = QStringLiteral("bad fault target \"%1\"").arg(target);
                return false;
            }
        }
        m_rules.append(rule);
    }
    return true;
}

CFaultPlan::Fault CFaultPlan::pick(const QString& path)
{
    for (const Rule& rule : std::as_const(m_rules)) {
        if (!rule.path.isEmpty() ? rule.path == path : m_random.generateDouble() < rule.chance)
            return rule.fault;
    }
    return None;
}
