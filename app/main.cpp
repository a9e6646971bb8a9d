#include "app/cmain.h"
#include "app/core/commandline.h"
#include "app/csignalquitter.h"
#include "pager/core/globals.h"
#include "pager/cpager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStyleFactory>

#include <cstdio>

namespace {

// Under "-debug", says once when the window has first been drawn, for
// start-up measurements.
class FirstPaintReporter : public QObject
{
public:
    explicit FirstPaintReporter(QElapsedTimer clock) : clock(clock) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            debugLine(QStringLiteral("window drawn %1 ms after main").arg(clock.elapsed()));
            watched->removeEventFilter(this);
        }
        return false;
    }

private:
    QElapsedTimer clock;
};

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    {
        // Before the toolkit: --help and --version need no display and no home.
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        const QString program = QStringLiteral("ovpager");
        const CommandLine line = CommandLine::parse(arguments);
        if (line.action != CommandLine::Action::Run) {
            const bool refused = line.action == CommandLine::Action::Refuse;
            const QString text = refused ? line.refusal(program)
                                 : line.action == CommandLine::Action::Help
                                     ? CommandLine::helpText(program)
                                     : CommandLine::versionText();
            std::fputs(qPrintable(text), refused ? stderr : stdout);
            return refused ? 2 : 0;
        }
        // The window's class, which the desktop entry names, whatever the binary is called.
        QCoreApplication::setApplicationName(program);
    }
    auto* app = new QApplication(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(OVPAGER_DESKTOP_ID));
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(style);
    CSignalQuitter signalQuitter;

    auto* window = new CMain;

    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-vulntest")
            vulnTestMode = true;
        else if (arg == "-debug")
            debugMode = true;
    }
    FirstPaintReporter paintReporter(clock);
    if (debugMode) {
        signalQuitter.watchPollSignal();
        QObject::connect(&signalQuitter, &CSignalQuitter::pollRequested, window->pager,
                         &CPager::slotUpdateContent);
        window->installEventFilter(&paintReporter);
    }
    window->setWindowTitle(QStringLiteral("Orvelle Pager V3.0"));
    window->show();
    window->update();
    int result = app->exec();
    if (result == 0 && window->pager->saveFailed())
        result = 1; // state was not saved: a session manager should know
    delete window;
    delete app;
    return result;
}
