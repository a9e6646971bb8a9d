#include "app/cbanner.h"

#include "net/core/cwwwrequest.h"
#include "net/core/cwwwserver.h"
#include "net/core/gifcheck.h"
#include "pager/core/globals.h"

#include <QFile>
#include <QMovie>

CBanner::CBanner(QWidget* parent, const char* name) : QLabel(parent)
{
    if (name)
        setObjectName(QLatin1String(name));
}

void CBanner::slotChangeBanner()
{
    const QString file = dataDirPath + QStringLiteral("ad.gif");
    QFile gif(file);
    if (!gif.open(QIODevice::ReadOnly))
        return; // keep the last advertisement shown
    // Every frame is kept decoded: look at the image before playing it.
    const GifCheck check = gif.size() > CWWWServer::replyCap(AdImage)
                               ? GifCheck{false, QStringLiteral("file too large")}
                               : checkGif(gif.readAll());
    gif.close();
    if (!check.ok) {
        qWarning("%s refused: %s; keeping the last banner", qPrintable(file),
                 qPrintable(check.why));
        return;
    }
    delete movie;
    movie = new QMovie(file, QByteArray(), this);
    // Decoded once, not again at every frame: the banner loops for hours.
    movie->setCacheMode(QMovie::CacheAll);
    setMovie(movie);
    movie->start();
}

void CBanner::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    emit bannerClicked();
}
