#include "pager/core/categoryfile.h"
#include "pager/core/textencoding.h"

#include <QHash>
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

// Where each category sits, as indexes from the top level down, keyed by
// its top-level id and its own id; the first one seen wins, as in a depth
// first search. Lookups cost the depth, not the size of the tree.
class CategoryIndex
{
public:
    using Path = QList<int>;

    void note(int topId, int id, const Path& path) { m_paths.insert({topId, id}, path); }
    bool contains(int topId, int id) const { return m_paths.contains({topId, id}); }
    const Path* find(int topId, int id) const
    {
        const auto it = m_paths.constFind({topId, id});
        return it == m_paths.cend() ? nullptr : &*it;
    }
    static CategoryNode* resolve(QList<CategoryNode>& topLevel, const Path& path)
    {
        QList<CategoryNode>* level = &topLevel;
        CategoryNode* node = nullptr;
        for (int index : path) {
            node = &(*level)[index];
            level = &node->children;
        }
        return node;
    }

    // Depth first, without recursion, so the first of equal ids is kept.
    void build(const QList<CategoryNode>& topLevel)
    {
        for (int t = 0; t < topLevel.size(); ++t) {
            const CategoryNode& top = topLevel.at(t);
            if (contains(top.id, top.id))
                continue; // only the first top level of an id is ever searched
            note(top.id, top.id, {t});
            QList<QPair<const CategoryNode*, Path>> stack;
            for (int c = int(top.children.size()) - 1; c >= 0; --c)
                stack.append({&top.children.at(c), {t, c}});
            while (!stack.isEmpty()) {
                const auto [node, path] = stack.takeLast();
                if (!contains(top.id, node->id))
                    note(top.id, node->id, path);
                for (int c = int(node->children.size()) - 1; c >= 0; --c)
                    stack.append({&node->children.at(c), path + Path{c}});
            }
        }
    }

private:
    QHash<QPair<int, int>, Path> m_paths;
};

struct ParseState
{
    CategoryIndex index;
    int orphans = 0; // rows without a parent, for the warnings' sake
};

bool addRow(CategoryFile& file, ParseState& state, const QString& line)
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
        if (!state.index.contains(id, id))
            state.index.note(id, id, {int(file.topLevel.size())});
        file.topLevel.append(node);
        return true;
    }
    const CategoryIndex::Path* parentPath = state.index.find(topId, parentId);
    if (!parentPath) {
        // A hostile file can hold any number of these: name a few only.
        if (++state.orphans <= 10)
            qWarning("Could not find parent (%d) for item (%d).  TopLevel is %d", parentId, id,
                     topId);
        return false;
    }
    if (parentPath->size() >= maxCategoryDepth) {
        if (++state.orphans <= 10)
            qWarning("Category %d is nested too deeply (more than %d levels)", id,
                     maxCategoryDepth);
        return false;
    }
    CategoryNode* parent = CategoryIndex::resolve(file.topLevel, *parentPath);
    if (!state.index.contains(topId, id))
        state.index.note(topId, id,
                         *parentPath + CategoryIndex::Path{int(parent->children.size())});
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
        // Joined, never formatted: a name may hold "%4" of its own.
        out += QString::number(n.topId) + u',' + QString::number(n.parentId) + u',' +
               QString::number(n.id) + QStringLiteral(",\"") + n.name + QStringLiteral("\",") +
               (n.on ? u'1' : u'0') + u'\n';
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
    ParseState state;
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
        if (addRow(file, state, line))
            ++file.counted;
    }
    if (state.orphans > 10)
        qWarning("... and %d more rows that do not fit in the tree", state.orphans - 10);
    return file;
}

QByteArray formatCategoryFile(const CategoryFile& file)
{
    QString out = QStringLiteral("VERSION=") + QString::number(file.version) +
                  QStringLiteral("\nNUMENTRIES=") + QString::number(file.numEntries) +
                  QStringLiteral("\n20001,0,20001,\"announcements\",1\n");
    writeRows(out, file.topLevel);
    return encodeText(out);
}

void applyOldTicks(CategoryFile& file, const QString& oldText)
{
    CategoryIndex index;
    index.build(file.topLevel);
    for (const QString& raw : oldText.split(u'\n')) {
        const QString line = raw.trimmed();
        int topId = 0, parentId = 0, id = 0;
        if (line.isEmpty() || !scanThreeIds(line, topId, parentId, id) || !rowTick(line))
            continue;
        if (const CategoryIndex::Path* path = index.find(topId, id))
            CategoryIndex::resolve(file.topLevel, *path)->on = true;
    }
}

QString contentRequestArgument(const CategoryFile& file, int entries)
{
    QString out = QStringLiteral("version=") + QString::number(file.version) +
                  QStringLiteral("&nentries=") + QString::number(entries) +
                  QStringLiteral("&Content=T20001");
    for (const CategoryNode& top : file.topLevel) {
        if (!top.on && !hasTickedDescendant(top))
            continue;
        out += QStringLiteral(",T%1").arg(top.id);
        appendTicked(out, top.children);
    }
    return out;
}
