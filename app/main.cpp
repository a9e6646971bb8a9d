#include "cmain.h"
#include "csignalquitter.h"
#include "globals.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char** argv)
{
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
    window->setWindowTitle(QStringLiteral("Orvelle Pager V3.0"));
    window->show();
    window->update();
    const int result = app->exec();
    delete window;
    delete app;
    return result;
}
