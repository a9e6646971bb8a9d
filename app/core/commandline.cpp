#include "app/core/commandline.h"

namespace {

struct ToolkitOption
{
    const char* name;
    bool takesValue;
    bool joinedValue; // also understood as name=value
};

// The options the toolkit takes off the command line itself, with one dash
// or two; the X11 ones only when it runs on X11, which is where we run.
const ToolkitOption toolkitOptions[] = {
    {"platform", true, false},
    {"platformpluginpath", true, false},
    {"platformtheme", true, false},
    {"plugin", true, false},
    {"qwindowgeometry", true, false},
    {"qwindowicon", true, false},
    {"qwindowtitle", true, false},
    {"session", true, false},
    {"style", true, true},
    {"stylesheet", true, true},
    {"display", true, false},
    {"name", true, false},
    {"title", true, false},
    {"geometry", true, false},
    {"visual", true, false},
    {"qmljsdebugger", false, true},
    {"reverse", false, false},
    {"widgetcount", false, false},
    {"testability", false, false},
    {"nograb", false, false},
    {"dograb", false, false},
};

const ToolkitOption* toolkitOption(const QString& name)
{
    for (const ToolkitOption& option : toolkitOptions)
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine result;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == QLatin1String("--"))
            break;
        if (arg == QLatin1String("--help")) {
            result.action = Action::Help;
            return result;
        }
        if (arg == QLatin1String("--version")) {
            result.action = Action::Version;
            return result;
        }
        if (!arg.startsWith(u'-') || arg.size() < 2)
            continue;
        const bool twoDashes = arg.startsWith(QLatin1String("--"));
        const QString word = arg.mid(twoDashes ? 2 : 1);
        const qsizetype equals = word.indexOf(u'=');
        const ToolkitOption* option = toolkitOption(equals < 0 ? word : word.left(equals));
        if (option && equals >= 0 && !option->joinedValue)
            option = nullptr;
        if (option && equals < 0 && option->takesValue)
            ++i; // its value, whatever it looks like
        else if (!option && twoDashes) {
            result.action = Action::Refuse;
            result.refused = arg;
            return result;
        }
    }
    return result;
}

QString CommandLine::helpText(const QString& program)
{
    return QStringLiteral("Usage: ") + program +
           QStringLiteral(
               " [-debug] [-vulntest] [toolkit options]\n"
               "A desktop pager for the Orvelle security news service.\n"
               "\n"
               "  -debug       write diagnostic lines to standard output; SIGUSR1 polls at once\n"
               "  -vulntest    vulnerability polls ask for the whole feed\n"
               "  --help       show this text and exit\n"
               "  --version    show the version and exit\n"
               "\n"
               "The toolkit's own options (-display, -geometry, -style, -platform, ...) are\n"
               "understood as well.\n"
               "\n"
               "Environment:\n"
               "  HOME             the data directory is $HOME/.ovpager\n"
               "  OVPAGER_SERVER   content server as host or host:port (default port 80)\n"
               "  OVPAGER_LIBDIR   root of the installed skins and documentation\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("Orvelle Pager V3.0 (ovpager " OVPAGER_VERSION ")\n");
}

QString CommandLine::refusal(const QString& program) const
{
    return program + QStringLiteral(": unknown option ") + refused + QStringLiteral("\nTry '") +
           program + QStringLiteral(" --help' for the options.\n");
}
