#pragma once

// Driving the program's windows from outside, as a user would, with xdotool.

#include <QProcess>
#include <QStringList>

namespace xdotool {

// Ids of the windows whose name matches `pattern` (visible ones only when asked).
inline QStringList windows(const QString& pattern, bool onlyVisible = true, int ms = 10000)
{
    QStringList args{QStringLiteral("search")};
    if (onlyVisible)
        args << QStringLiteral("--onlyvisible");
    args << QStringLiteral("--name") << pattern;
    QProcess find;
    find.start(QStringLiteral("xdotool"), args);
    if (!find.waitForFinished(ms))
        return {};
    return QString::fromLatin1(find.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// Waits for a window named `pattern`; its id, or empty after 20 s.
inline QString findWindow(const QString& pattern)
{
    QProcess find;
    find.start(QStringLiteral("xdotool"), {"search", "--sync", "--name", pattern});
    if (!find.waitForFinished(20000) || find.exitCode() != 0)
        return {};
    return QString::fromLatin1(find.readAllStandardOutput().split('\n').value(0));
}

// Focuses the window with this id and presses `key` there.
inline bool pressKeyIn(const QString& id, const QString& key = QStringLiteral("Return"))
{
    return !id.isEmpty() && QProcess::execute(QStringLiteral("xdotool"),
                                              {"windowfocus", "--sync", id, "key", key}) == 0;
}

// Waits for a window named `pattern`, focuses it and presses `key` there.
inline bool pressKey(const QString& pattern, const QString& key = QStringLiteral("Return"))
{
    return pressKeyIn(findWindow(pattern), key);
}

// Waits for a window named `pattern`, focuses it and types `text` into its
// focused field in place of what the field held.
inline bool replaceText(const QString& pattern, const QString& text)
{
    const QString id = findWindow(pattern);
    return !id.isEmpty() && QProcess::execute(QStringLiteral("xdotool"),
                                              {"windowfocus", "--sync", id, "key", "ctrl+a",
                                               "BackSpace", "type", "--delay", "2", text}) == 0;
}

} // namespace xdotool
