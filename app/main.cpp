#include "app/cmain.h"
#include "app/csignalquitter.h"
#include "pager/core/globals.h"
#include "pager/cpager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStyleFactory>

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
    auto* app = new QApplication(argc, argv);
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
