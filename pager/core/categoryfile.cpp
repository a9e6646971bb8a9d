#include "pager/core/categoryfile.h"

#include <QStringList>

#include <climits>

namespace {

// Reads a decimal integer the way "%d" does: blanks, an optional sign,
// digits. Returns false when no digit follows.
bool scanInt(const QString& text, qsizetype& pos, int& value)
{
    while (pos < text.size() && text.at(pos).isSpace())
        ++pos;
    qsizetype p = pos;
    bool negative = false;
    if (p < text.size() && (text.at(p) == u'-' || text.at(p) == u'+'))
        negative = text.at(p++) == u'-';
    const qsizetype digits = p;
    long long v = 0;
    while (p < text.size() && text.at(p).isDigit() && text.at(p).unicode() < 128) {
        v = qMin<long long>(v * 10 + (text.at(p).unicode() - '0'), INT_MAX + 1LL);
        ++p;
    }
    if (p == digits)
        return false;
    v = negative ? -v : v;
    value = int(qBound<long long>(INT_MIN + 0LL, v, INT_MAX + 0LL));
    pos = p;
    return true;
}

// Leading integer of a text, 0 when none (as atoi gives it).
int leadingInt(const QString& text)
{
    qsizetype pos = 0;
    int value = 0;
    return scanInt(text, pos, value) ? value : 0;
}

bool scanThreeIds(const QString& line, int& topId, int& parentId, int& id)
{
    qsizetype pos = 0;
    int* targets[] = {&topId, &parentId, &id};
    for (int i = 0; i < 3; ++i) {
        if (!scanInt(line, pos, *targets[i]))
            return false;
        if (i < 2) {
            if (pos >= line.size() || line.at(pos) != u',')
                return false;
            ++pos;
        }
    }
    return true;
}

// The tick of a row: the text after the last '"' that is followed by ','.
bool rowTick(const QString& line)
{
    const qsizetype at = line.lastIndexOf(QLatin1String("\","));
    return at >= 0 && leadingInt(line.mid(at + 2)) == 1;
}

bool addRow(CategoryFile& file, const QString& line)
{
    int topId = 0, parentId = 0, id = 0;
    if (!scanThreeIds(line, topId, parentId, id))
        return false;
    const qsizetype quote = line.indexOf(u'"');
    if (quote < 0)
        return false;
    QString name = line.mid(quote + 1);
    const qsizetype last = name.lastIndexOf(u'"');
    if (last >= 0)
        name.truncate(last);
    if (topId == announcementsId && parentId == 0)
        return true;

    CategoryNode node{topId, parentId, id, name, rowTick(line), {}};
    if (parentId == 0) {
        file.topLevel.append(node);
        return true;
    }
    CategoryNode* parent = findCategory(file.topLevel, parentId, topId);
    if (!parent) {
        qWarning("Could not find parent (%d) for item (%d).  TopLevel is %d", parentId, id, topId);
        return false;
    }
    parent->children.append(node);
    return true;
}

CategoryNode* findBelow(QList<CategoryNode>& nodes, int id)
{
    for (CategoryNode& node : nodes) {
        if (node.id == id)
            return &node;
        if (CategoryNode* found = findBelow(node.children, id))
            return found;
    }
    return nullptr;
}

void writeRows(QString& out, const QList<CategoryNode>& nodes)
{
    for (const CategoryNode& n : nodes) {
        out += QStringLiteral("%1,%2,%3,\"%4\",%5\n")
                   .arg(n.topId)
                   .arg(n.parentId)
                   .arg(n.id)
                   .arg(n.name)
                   .arg(n.on ? 1 : 0);
        writeRows(out, n.children);
    }
}

void appendTicked(QString& out, const QList<CategoryNode>& nodes)
{
    for (const CategoryNode& n : nodes) {
        if (n.on)
            out += QStringLiteral(",%1").arg(n.id);
        appendTicked(out, n.children);
    }
}

} // namespace

CategoryNode* findCategory(QList<CategoryNode>& topLevel, int id, int topId)
{
    for (CategoryNode& top : topLevel) {
        if (top.id != topId)
            continue;
        return id == topId ? &top : findBelow(top.children, id);
    }
    return nullptr;
}

bool hasTickedDescendant(const CategoryNode& node)
{
    for (const CategoryNode& child : node.children)
        if (child.on || hasTickedDescendant(child))
            return true;
    return false;
}

CategoryFile parseCategoryFile(const QString& text)
{
    CategoryFile file;
    const QStringList lines = text.split(u'\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("VERSION="))) {
            const int v = leadingInt(line.mid(8));
            if (v > 0)
                file.version = v;
        } else if (line.startsWith(QLatin1String("NUMENTRIES="))) {
            const int n = leadingInt(line.mid(11));
            if (n > 0)
                file.numEntries = n;
        }
        if (addRow(file, line))
            ++file.counted;
    }
    return file;
}

QByteArray formatCategoryFile(const CategoryFile& file)
{
    QString out = QStringLiteral("VERSION=%1\nNUMENTRIES=%2\n20001,0,20001,\"announcements\",1\n")
                      .arg(file.version)
                      .arg(file.numEntries);
    writeRows(out, file.topLevel);
    return out.toLatin1();
}

void applyOldTicks(CategoryFile& file, const QString& oldText)
{
    for (const QString& raw : oldText.split(u'\n')) {
        const QString line = raw.trimmed();
        int topId = 0, parentId = 0, id = 0;
        if (line.isEmpty() || !scanThreeIds(line, topId, parentId, id) || !rowTick(line))
            continue;
        if (CategoryNode* node = findCategory(file.topLevel, id, topId))
            node->on = true;
    }
}

QString contentRequestArgument(const CategoryFile& file, int entries)
{
    QString out =
        QStringLiteral("version=%1&nentries=%2&Content=T20001").arg(file.version).arg(entries);
    for (const CategoryNode& top : file.topLevel) {
        if (!top.on && !hasTickedDescendant(top))
            continue;
        out += QStringLiteral(",T%1").arg(top.id);
        appendTicked(out, top.children);
    }
    return out;
}
