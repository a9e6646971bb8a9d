#pragma once

#include <QString>
#include <QStringList>

// What the pager's command line asks for, decided before the toolkit or the
// data directory is touched, so that --help and --version need neither a
// display nor a home.
struct CommandLine
{
    enum class Action
    {
        Run,
        Help,
        Version,
        Refuse
    };
    Action action = Action::Run;
    QString refused; // the option that made it Refuse

    // `arguments` is argv, the program name first. Options with two dashes
    // are ours or the toolkit's; any other is refused. Arguments with one dash
    // are left alone (the toolkit's, "-debug", "-vulntest"; the rest are
    // ignored), but the value of a toolkit option is never read as an option.
    // The first of --help, --version or a refused option decides.
    static CommandLine parse(const QStringList& arguments);

    static QString helpText(const QString& program);
    static QString versionText();
    // The line for standard error when the command line is refused.
    QString refusal(const QString& program) const;
};
