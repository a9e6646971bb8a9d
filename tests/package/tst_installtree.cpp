// The installed tree, laid out by `cmake --install` under a DESTDIR as a
// distribution would: every file where the program and the desktop look for
// it; then the Debian package built from the same rules, which skips when a
// packaging tool is not installed.

#include "pager/core/globals.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString libRoot = QStringLiteral(OVPAGER_CONFIGURED_LIBDIR).mid(1); // without the "/"
const QString appId = QStringLiteral(OVPAGER_APP_ID);

// Every installed file that someone looks for by its path, under the prefix
// /usr: "@" is the skins' root, "%1" the desktop id, "#" each icon size.
QStringList expectedFiles()
{
    QStringList files =
        QStringLiteral(
            "usr/bin/ovpager usr/bin/ovpager-server @/pagerskins/max/skin.ini "
            "@/pagerskins/max/pager.bmp @/pagerskins/slate/skin.ini @/pagerdoc/pager.html "
            "usr/share/ovpager-server/data/headlines.txt "
            "usr/share/ovpager-server/data/categories.dat "
            "usr/share/applications/%1.desktop usr/share/metainfo/%1.metainfo.xml "
            "usr/share/man/man1/ovpager.1.gz usr/share/man/man1/ovpager-server.1.gz "
            "usr/share/icons/hicolor/scalable/apps/ovpager.svg usr/share/doc/ovpager/copyright "
            "usr/share/doc/ovpager/changelog.gz")
            .replace(u'@', libRoot)
            .arg(appId)
            .split(u' ');
    for (const char* size : {"16", "32", "48", "64", "128"})
        files << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/ovpager.png").arg(size);
    return files;
}

// The exit status (-1: crashed or timed out), with all it wrote in `out`.
int run(const QStringList& command, QByteArray* out = nullptr, int ms = 60000)
{
    QProcess p; // a child still running when it goes is killed
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(command.first(), command.mid(1));
    const bool ended = p.waitForFinished(ms);
    if (out)
        *out = p.readAll();
    return ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestInstallTree : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("DESTDIR", QFile::encodeName(dest.path()));
        QCOMPARE(run({OVPAGER_CMAKE, "--install", OVPAGER_BUILD_DIR, "--prefix", "/usr"}, nullptr,
                     120000),
                 0);
        qunsetenv("DESTDIR");
    }

    void layout()
    {
        for (const QString& file : expectedFiles())
            QVERIFY2(QFileInfo(installed(file)).isFile(), qPrintable(file));
        QVERIFY(QFileInfo(installed("usr/bin/ovpager")).isExecutable() &&
                QFileInfo(installed("usr/bin/ovpager-server")).isExecutable());
        // Unless told otherwise the program looks where the skins were installed.
        qunsetenv("OVPAGER_LIBDIR");
        QCOMPARE(installedDataRoot(), QStringLiteral(OVPAGER_CONFIGURED_LIBDIR));
    }

    void debianPackage()
    {
        for (const char* tool : {"cpack", "dpkg-deb"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("a packaging tool is not installed");
        QTemporaryDir out;
        QByteArray said;
        QVERIFY2(run({OVPAGER_CPACK, "-G", "DEB", "--config",
                      OVPAGER_BUILD_DIR "/CPackConfig.cmake", "-B", out.path()},
                     &said, 180000) == 0,
                 said.constData());
        const QString deb = out.filePath(QDir(out.path()).entryList({"*.deb"}).value(0));
        QCOMPARE(run({"dpkg-deb", "--contents", deb}, &said), 0);
        QStringList paths;
        for (const QByteArray& line : said.trimmed().split('\n'))
            paths << QString::fromUtf8(line.mid(line.lastIndexOf(' ') + 1)).mid(2);
        for (const QString& file : expectedFiles())
            QVERIFY2(paths.contains(file), qPrintable(file));
        for (const QString& path : paths)
            QVERIFY2(path.startsWith("usr/") && !path.startsWith("usr/local"), qPrintable(path));
    }

private:
    QTemporaryDir dest;
    QString installed(const QString& relative) const { return dest.filePath(relative); }
};

QTEST_GUILESS_MAIN(TestInstallTree)
#include "tst_installtree.moc"
