// Banner page scan: time for pages of escaped ampersands of growing size.
// The cost per kilobyte should stay flat.
#include "net/core/replyparse.h"

#include <QElapsedTimer>

#include <cstdio>

int main()
{
    std::printf("%10s %12s %14s\n", "page KB", "ms", "us per KB");
    for (const int kb : {64, 256, 1024, 4096}) {
        const QString page = QStringLiteral("<A HREF=\"") +
                             QStringLiteral("&amp;").repeated(kb * 1024 / 5) +
                             QStringLiteral("\"><IMG SRC=\"/images/a.gif\">");
        QElapsedTimer clock;
        clock.start();
        const AdPageInfo info = parseAdPage(page);
        const double ms = clock.nsecsElapsed() / 1e6;
        if (!info.ok)
            return 1;
        std::printf("%10d %12.2f %14.2f\n", kb, ms, ms * 1000 / kb);
    }
    return 0;
}
