// The installed tree, laid out by `cmake --install` under a DESTDIR as a
// distribution would: every file where the program and the desktop look for
// it, the desktop files passing their validators, the icons drawn from the
// window icon, the manual pages readable; then the Debian package built
// from the same rules. A validator that is not installed skips its row.

#include "pager/core/globals.h"
#include "pager/icons.h"

#include "tests/common/childprocess.h"
#include "tests/common/testfiles.h"
#include "tests/common/xdotool.h"

#include <QImage>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString libRoot = QStringLiteral(OVPAGER_CONFIGURED_LIBDIR).mid(1); // without the "/"
const QString appId = QStringLiteral(OVPAGER_APP_ID);
const QList<int> iconSizes = {16, 32, 48, 64, 128};

// Every installed file that someone looks for by its path, under the prefix /usr.
QStringList expectedFiles()
{
    QStringList files = {
        "usr/bin/ovpager",
        "usr/bin/ovpager-server",
        libRoot + "/pagerskins/max/skin.ini",
        libRoot + "/pagerskins/max/pager.bmp",
        libRoot + "/pagerskins/slate/skin.ini",
        libRoot + "/pagerdoc/pager.html",
        "usr/share/ovpager-server/data/headlines.txt",
        "usr/share/ovpager-server/data/categories.dat",
        "usr/share/applications/" + appId + ".desktop",
        "usr/share/metainfo/" + appId + ".metainfo.xml",
        "usr/share/man/man1/ovpager.1.gz",
        "usr/share/man/man1/ovpager-server.1.gz",
        "usr/share/icons/hicolor/scalable/apps/ovpager.svg",
        "usr/share/doc/ovpager/copyright",
        "usr/share/doc/ovpager/changelog.gz",
    };
    for (int size : iconSizes)
        files << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/ovpager.png").arg(size);
    return files;
}

struct Run
{
    int status = -1;
    QByteArray out, err;
};

Run run(const QString& program, const QStringList& arguments, int ms = 60000,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    Run r;
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

class TestInstallTree : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void layout();
    void icons_data();
    void icons();
    void validators_data();
    void validators();
    void windowClassIsTheEntrys();
    void debianPackage();

private:
    QString installed(const QString& relative) const { return m_dest.filePath(relative); }

    QTemporaryDir m_dest;
};

void TestInstallTree::initTestCase()
{
    QVERIFY(m_dest.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), m_dest.path());
    const Run r = run(QStringLiteral(OVPAGER_CMAKE),
                      {"--install", OVPAGER_BUILD_DIR, "--prefix", "/usr"}, 120000, env);
    QVERIFY2(r.status == 0, r.err.constData());
}

void TestInstallTree::layout()
{
    for (const QString& file : expectedFiles())
        QVERIFY2(QFileInfo(installed(file)).isFile(), qPrintable(file));
    for (const char* binary : {"usr/bin/ovpager", "usr/bin/ovpager-server"})
        QVERIFY(QFileInfo(installed(QLatin1String(binary))).isExecutable());
    // Unless told otherwise the program looks where the skins were installed.
    qunsetenv("OVPAGER_LIBDIR");
    QCOMPARE(installedDataRoot(), QStringLiteral(OVPAGER_CONFIGURED_LIBDIR));
}

void TestInstallTree::icons_data()
{
    QTest::addColumn<int>("size");
    for (int size : iconSizes)
        QTest::addRow("%dx%d", size, size) << size;
}

void TestInstallTree::icons()
{
    QFETCH(int, size);
    const QImage icon(
        installed(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/ovpager.png").arg(size)));
    // The window icon, grown pixel for pixel.
    const QImage art =
        windowIconArt().scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QCOMPARE(icon.convertToFormat(QImage::Format_ARGB32_Premultiplied),
             art.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void TestInstallTree::validators_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("sections"); // manual pages only

    QTest::newRow("desktop entry")
        << "desktop-file-validate" << QStringList()
        << "usr/share/applications/" + appId + ".desktop" << QStringList();
    QTest::newRow("AppStream metadata")
        << "appstreamcli" << QStringList{"validate", "--no-net"}
        << "usr/share/metainfo/" + appId + ".metainfo.xml" << QStringList();
    QTest::newRow("ovpager(1)") << "man" << QStringList{"--warnings", "-l"}
                                << "usr/share/man/man1/ovpager.1.gz"
                                << QStringList{"OPTIONS",        "ENVIRONMENT",
                                               "FILES",          "EXIT STATUS",
                                               "OVPAGER_LIBDIR", "/" + libRoot + "/pagerskins"};
    QTest::newRow("ovpager-server(1)")
        << "man" << QStringList{"--warnings", "-l"} << "usr/share/man/man1/ovpager-server.1.gz"
        << QStringList{"OPTIONS", "FILES", "EXIT STATUS", "--request-timeout"};
}

void TestInstallTree::validators()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QFETCH(QStringList, sections);
    if (QStandardPaths::findExecutable(tool).isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
    qputenv("MANWIDTH", "80");
    const Run r = run(tool, arguments << installed(file));
    QVERIFY2(r.status == 0, (r.out + r.err).constData());
    QVERIFY2(!r.err.contains("warning"), r.err.constData());
    for (const QString& section : sections)
        QVERIFY2(r.out.contains(section.toUtf8()), qPrintable(section));
}

void TestInstallTree::windowClassIsTheEntrys()
{
    QVERIFY(testfiles::readAll(installed("usr/share/applications/" + appId + ".desktop"))
                .contains("\nStartupWMClass=ovpager\n"));

    // Under another name, as a wrapper or a renamed copy would start it.
    TempHome home;
    const QString renamed = home.path() + QStringLiteral("/my-pager");
    QVERIFY(QFile::link(installed(QStringLiteral("usr/bin/ovpager")), renamed));
    QProcessEnvironment env =
        childprocess::pagerEnvironment(home.path(), QStringLiteral("127.0.0.1:1"));
    env.insert(QStringLiteral("OVPAGER_LIBDIR"), installed(libRoot));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    LoggedProcess pager;
    pager.process.setProcessEnvironment(env);
    pager.start(renamed, {});
    QVERIFY(pager.process.waitForStarted());
    const QString window = xdotool::findWindow(QStringLiteral("^Orvelle Pager V3.0$"));
    const Run found = run(QStringLiteral("xdotool"), {"search", "--class", "^ovpager$"});
    pager.stop();
    QVERIFY(!window.isEmpty());
    QVERIFY2(QString::fromLatin1(found.out).split(u'\n').contains(window),
             "the pager's window is of another class");
}

void TestInstallTree::debianPackage()
{
    for (const char* tool : {"cpack", "dpkg-deb"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QLatin1String(tool) + QStringLiteral(" is not installed")));
    QTemporaryDir out;
    QVERIFY(out.isValid());
    Run r = run(QStringLiteral(OVPAGER_CPACK),
                {"-G", "DEB", "--config", OVPAGER_BUILD_DIR "/CPackConfig.cmake", "-B", out.path()},
                180000);
    QVERIFY2(r.status == 0, (r.out + r.err).constData());
    const QStringList debs = QDir(out.path()).entryList({QStringLiteral("*.deb")});
    QCOMPARE(debs.size(), 1);
    const QString deb = out.filePath(debs.first());

    r = run(QStringLiteral("dpkg-deb"), {"--contents", deb});
    QCOMPARE(r.status, 0);
    QStringList paths;
    for (const QByteArray& line : r.out.split('\n'))
        if (!line.isEmpty())
            paths << QString::fromUtf8(line.mid(line.lastIndexOf(' ') + 1)).mid(2);
    for (const QString& file : expectedFiles())
        QVERIFY2(paths.contains(file), qPrintable(file));
    for (const QString& path : paths)
        QVERIFY2(path.startsWith(QLatin1String("usr/")) && !path.startsWith("usr/local"),
                 qPrintable(path));

    // Stripped: no symbol table and no debugging sections left in the programs.
    const QString tree = out.filePath(QStringLiteral("tree"));
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {"--extract", deb, tree}).status, 0);
    if (!QStandardPaths::findExecutable(QStringLiteral("readelf")).isEmpty())
        for (const char* binary : {"/usr/bin/ovpager", "/usr/bin/ovpager-server"}) {
            r = run(QStringLiteral("readelf"), {"-S", "-W", tree + QLatin1String(binary)});
            QCOMPARE(r.status, 0);
            QVERIFY2(!r.out.contains(".symtab") && !r.out.contains(".debug_"), binary);
        }

    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
        QSKIP("lintian is not installed; the package's contents were checked");
    r = run(QStringLiteral("lintian"), {deb}, 300000);
    QVERIFY2(r.status == 0 && !r.out.contains("\nE: ") && !r.out.startsWith("E: "),
             (r.out + r.err).constData());
}

QTEST_GUILESS_MAIN(TestInstallTree)
#include "tst_installtree.moc"
