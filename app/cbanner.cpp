#include "app/cbanner.h"

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
    if (!QFile::exists(file))
        return; // keep the last advertisement shown
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
