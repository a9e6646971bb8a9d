#include "pager/cpager.h"

#include "app/core/cskin.h"
#include "config/cconfig.h"
#include "config/cdesktopnotifier.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/core/firstrundirectory.h"
#include "config/core/notifyoptions.h"
#include "config/core/processrestart.h"
#include "config/core/settingsfile.h"
#include "config/csearchdialog.h"
#include "config/settingspages.h"
#include "inventory/core/vulnpollargument.h"
#include "inventory/netinventory.h"
#include "net/cguilinkui.h"
#include "net/core/cwwwserver.h"
#include "pager/carticleitem.h"
#include "pager/ccategorytree.h"
#include "pager/clookhost.h"
#include "pager/core/atomicfile.h"
#include "pager/core/browserurl.h"
#include "pager/core/feedbacktext.h"
#include "pager/core/globals.h"
#include "pager/core/serveraddress.h"
#include "pager/core/taggedtext.h"
#include "pager/core/textencoding.h"
#include "pager/navigate.h"
#include "pager/x11hints.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <netdb.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char notifyFile[] = "notify.cfg";

const char versionBanner[] = "<center>Orvelle Pager</center><center>Version 3.0</center>";

[[noreturn]] void fatal(const char* message)
{
    std::fprintf(stderr, "%s\n", message);
    runFirstRunCleanup();
    std::exit(1);
}

extern "C" void lookupTimedOut(int)
{
    static const char message[] = "Timeout: Could not resolve server address\n";
    (void)!::write(STDERR_FILENO, message, sizeof message - 1);
    runFirstRunCleanup();
    ::_exit(1);
}

} // namespace

CPager::CPager(QWidget* parent, const char* name) : QWidget(parent)
{
    if (name)
        setObjectName(QLatin1String(name));
    numItems = 5;
    pollMinutes = 15;

    const bool firstRun = createDataDirectory();
    takeDataDirLock();
    // A start-up that fails before the first settings are written leaves no
    // directory behind, so the next start asks the wizard's questions again.
    if (firstRun)
        armFirstRunCleanup(dataDirPath);

    const ServerAddress address = serverAddressFromEnvironment();
    if (!address.error.isEmpty())
        fatal(qPrintable(address.error));
    server = new CWWWServer(resolvServer(address.host.toLocal8Bit().constData()), address.port);
    server->setParent(this);
    linkUi = new CGuiLinkUi;
    server->setUi(linkUi);

    configDialog = new CConfig;
    m_categoryPage = new CCategoryTree;
    m_inventoryPage = new CNetInventory(server, configDialog);
    m_notifier = new CDesktopNotifier(this);
    m_inventoryPage->setDesktopNotifier(m_notifier);
    connect(m_notifier, &CDesktopNotifier::clicked, this, &CPager::slotShowList);
    configDialog->setPages(m_categoryPage, m_inventoryPage);
    configDialog->resize(300, 400);
    configDialog->setWindowTitle(QStringLiteral("Pager Configuration"));

    if (firstRun) {
        configDialog->optionsPage()->setValues(5, 15, wizard.browserPath(), false, true, false);
        configDialog->inventoryOptionsPage()->setValues(
            QString(), QString(), wizard.mailerCommand(), false, false, false);
        configDialog->optionsPage()->selectSkin(QStringLiteral("Max"));
        saveConfig(QStringLiteral("ovpager.cfg"));
        disarmFirstRunCleanup();
    }

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    splitter = new QSplitter(Qt::Horizontal, this);
    column->addWidget(splitter);
    headlineList = new QTreeWidget(splitter);
    headlineList->setColumnCount(1);
    headlineList->setHeaderLabel(QStringLiteral("         "));
    headlineList->setRootIsDecorated(true);
    headlineList->header()->hide();
    headlineList->setFocus(); // the keys move through headlines from the start
    abstractView = new QTextBrowser(splitter);
    abstractView->setOpenLinks(false); // abstracts come from the server: never follow their links
    showVersionBanner();
    const int w = width();
    splitter->setSizes({w / 2, w - w / 2});

    connect(server, &CWWWServer::categoryUpdateDone, categoryPage(),
            &CCategoryTree::slotLoadCategories);
    connect(categoryPage(), &CCategoryTree::categoriesLoaded, this, &CPager::slotUpdateTopLevel);
    // A poll refused for an old category file is asked again as soon as a
    // newer file is in, instead of a whole poll interval later. Only for a
    // newer version, so a server that keeps refusing cannot make a loop.
    connect(categoryPage(), &CCategoryTree::categoriesLoaded, this, [this] {
        if (repollWanted && categoryPage()->version > polledVersion) {
            repollWanted = false;
            pollContent();
        }
    });

    numItems = 5;
    pollMinutes = 15;
    loadConfig(QStringLiteral("ovpager.cfg"));
    applySkinChoice();
    browserPath = configDialog->optionsPage()->browserPath();

    if (QFile::exists(dataDirPath + QStringLiteral("category.dat")))
        categoryPage()->load(QStringLiteral("category.dat"));
    else
        server->enqueue(CategoryUpdate, QString());

    connect(&flashTimer, &QTimer::timeout, this, &CPager::slotFlashTimeout);
    emit newIcon(true);
    connect(&pollTimer, &QTimer::timeout, this, &CPager::slotUpdateContent);
    pollTimer.start(pollMinutes * 60000);
    connect(&adTimer, &QTimer::timeout, this, &CPager::slotGetAd);
    adTimer.start(120000);
    server->enqueue(AdPage, QString());

    connect(server, &CWWWServer::newContent, this, &CPager::slotReceiveContent);
    connect(server, &CWWWServer::newAbstract, this, &CPager::slotReceiveAbstract);
    connect(headlineList, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = headlineList->selectedItems();
        slotArticleSelected(selected.value(0));
    });
    connect(headlineList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { slotArticleDoubleClicked(item); });
    connect(server, &CWWWServer::newVulns, this, &CPager::slotReceiveVulns);
    connect(server, &CWWWServer::newAd, this, &CPager::slotReceiveAd);
    connect(server, &CWWWServer::newContent, this, &CPager::noteGoodPoll);
    connect(server, &CWWWServer::exchangeFailed, this, &CPager::noteLinkFailure);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* open = new QShortcut(key, headlineList);
        open->setContext(Qt::WidgetShortcut);
        connect(open, &QShortcut::activated, this, &CPager::openSelectedHeadline);
    }

    articlesReady = true;
    slotUpdateContent();
}

CPager::~CPager()
{
    server->setUi(nullptr);
    delete linkUi;
    delete configDialog;
    delete skin;
}

bool CPager::createDataDirectory()
{
    const char* home = std::getenv("HOME");
    ::umask(077);
    if (!home)
        fatal("Please set HOME environment variable");
    struct stat st;
    if (::stat(home, &st) != 0 || !S_ISDIR(st.st_mode))
        fatal("Please set HOME environment variable correctly");

    const QString path = QFile::decodeName(home) + QStringLiteral("/.ovpager/");
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) != 0 && errno == ENOENT) {
        if (wizard.exec() != QDialog::Accepted)
            std::exit(0);
        if (::mkdir(native.constData(), 0700) != 0)
            fatal("Could not create configuration directory ~/.ovpager");
        dataDirPath = path;
        return true;
    }
    dataDirPath = path;
    return false;
}

QString CPager::resolvServer(const char* host)
{
    std::signal(SIGALRM, lookupTimedOut);
    ::alarm(10);
    const hostent* entry = ::gethostbyname(host);
    ::alarm(0);
    std::signal(SIGALRM, SIG_DFL);
    if (!entry || entry->h_addrtype != AF_INET || !entry->h_addr_list[0]) {
        std::fprintf(stderr, "Failed to resolve address for server: %s\n", host);
        runFirstRunCleanup();
        std::exit(1);
    }
    in_addr address;
    std::memcpy(&address, entry->h_addr_list[0], sizeof address);
    return QString::fromLatin1(::inet_ntoa(address));
}

int CPager::pollIntervalMs() const
{
    return configDialog->optionsPage()->pollMinutes() * 60000;
}

void CPager::showVersionBanner()
{
    QString html = QString::fromLatin1(versionBanner);
    if (!m_pollTrouble.isEmpty())
        html += QStringLiteral("<p align=\"center\"><font color=\"#a00000\">") +
                m_pollTrouble.toHtmlEscaped() + QStringLiteral("</font></p>");
    abstractView->setHtml(html);
    m_paneShows = Pane::Version;
}

void CPager::noteLinkFailure(int kind, bool answered, const QString& why)
{
    if (kind != ContentPoll && kind != AbstractFetch)
        return;
    m_pollTrouble = pollFailureLine(answered ? PollFailure::ErrorReply : PollFailure::Unreachable,
                                    why, m_lastGoodPoll, QDateTime::currentDateTime());
    // An abstract being read stays; "Loading..." would otherwise stay for good.
    if (m_paneShows != Pane::Abstract)
        showVersionBanner();
}

void CPager::noteGoodPoll(const QString& reply)
{
    if (reply.trimmed().isEmpty()) {
        noteLinkFailure(ContentPoll, true, QStringLiteral("empty reply"));
        return;
    }
    m_lastGoodPoll = QDateTime::currentDateTime();
    if (m_pollTrouble.isEmpty())
        return;
    m_pollTrouble.clear();
    if (m_paneShows == Pane::Version)
        showVersionBanner();
}

void CPager::pollContent()
{
    polledVersion = categoryPage()->version;
    server->enqueue(ContentPoll, categoryPage()->contentRequestArgument(numItems));
}

void CPager::slotUpdateContent()
{
    pollContent();
    const CNetInventory* inventory = inventoryPage();
    if (inventory->profileCount() > 0) {
        debugLine(QStringLiteral("Sending VULNPOLL"));
        server->enqueue(
            VulnPoll, vulnPollArgument(inventory->timestamp(), inventory->version(), vulnTestMode));
    }
    pollTimer.start(pollIntervalMs());
}

void CPager::slotReceiveAbstract(QString& reply)
{
    QString body;
    takeTaggedValue(QStringLiteral("body"), reply, body);
    stripMarkup(body);
    abstractView->setHtml(body);
    m_paneShows = Pane::Abstract;
}

void CPager::slotArticleSelected(QTreeWidgetItem* item)
{
    if (dynamic_cast<const CArticleItem*>(item)) {
        // Not the previous abstract under the new headline while this one is on its way.
        abstractView->setPlainText(QStringLiteral("Loading..."));
        m_paneShows = Pane::Loading;
    }
    if (auto* generic = dynamic_cast<CGenericItem*>(item))
        generic->itemSelected(server);
    if (const auto* article = dynamic_cast<const CArticleItem*>(item)) {
        m_headlines.setSeen(article->getTopId(), article->getId());
        emit newHeadlineCountChanged(newHeadlineCount());
    }
}

void CPager::openSelectedHeadline()
{
    QTreeWidgetItem* item = headlineList->selectedItems().value(0);
    if (!item)
        return;
    // As a double-click does: a category row folds or unfolds.
    if (!item->parent())
        item->setExpanded(!item->isExpanded());
    slotArticleDoubleClicked(item);
}

void CPager::slotArticleDoubleClicked(QTreeWidgetItem* item)
{
    if (auto* generic = dynamic_cast<CGenericItem*>(item))
        generic->itemDoubleClicked();
}

void CPager::slotDoConfig()
{
    pollTimer.stop();
    const CategoryFile ticksBefore = categoryPage()->snapshot();
    if (configDialog->exec() != QDialog::Accepted) {
        // The dialog put its own pages back; the category ticks are ours.
        categoryPage()->restoreTicks(ticksBefore);
    } else {
        COptions* options = configDialog->optionsPage();
        categoryPage()->save(QStringLiteral("category.dat"));
        slotUpdateTopLevel();
        if (options->pollMinutes() != pollMinutes)
            pollMinutes = options->pollMinutes();
        numItems = options->numItems();
        if (options->restartOnConfig())
            restart();
        const QString path = options->skinPath();
        if (path.isEmpty()) {
            if (skin) {
                delete skin;
                skin = nullptr;
                if (lookHost)
                    lookHost->applyPlainLook();
                window()->resize(600, 300);
            }
        } else if (!skin || options->skinName() != skin->getName()) {
            // The current skin stays until the new one is on screen, so a
            // broken choice keeps the look the user had.
            auto* next = new CSkin(path);
            if (lookHost && lookHost->applySkin(*next)) {
                delete skin;
                skin = next;
            } else {
                qWarning("The skin in %s cannot be used; keeping the current look",
                         qPrintable(path));
                delete next;
                options->selectSkin(skin ? skin->getName() : QStringLiteral("No Skin"));
            }
        }
        browserPath = options->browserPath();
        // A confirmed change is kept even if the program dies before its end.
        saveConfig(QStringLiteral("ovpager.cfg"));
        slotUpdateContent();
    }
    pollTimer.start(pollMinutes * 60000);
}

void CPager::applySkinChoice()
{
    const QString path = configDialog->optionsPage()->skinPath();
    if (path.isEmpty())
        return;
    skin = new CSkin(path);
}

void CPager::slotDoSearch()
{
    CSearchDialog dialog(nullptr, nullptr); // a fresh, empty field every time
    if (dialog.exec() != QDialog::Accepted)
        return;
    navigateTo(searchUrl(dialog.searchEdit->text()), false);
}

void CPager::slotReceiveVulns()
{
    debugLine(QStringLiteral("slotReceiveVulns"));
    // Not from inside the link's handler: the link finishes its exchange first.
    QMetaObject::invokeMethod(inventoryPage(), &CNetInventory::processVulns, Qt::QueuedConnection);
}

void CPager::slotReceiveAd(QString& imagePath, QString& targetUrl)
{
    debugLine(QStringLiteral("slotReceiveAd: ") + imagePath);
    server->enqueue(AdImage, imagePath);
    adUrl = targetUrl;
    adTimer.start(120000);
}

void CPager::slotBannerNavigate()
{
    if (adUrl.isEmpty())
        return; // no advertisement has arrived yet: nothing to visit
    navigateTo(adUrl, true);
}

void CPager::slotGetAd()
{
    if (active)
        server->enqueue(AdPage, QString());
}

void CPager::startFlashing()
{
    flashPhase = true;
    flashTimer.start(300);
    setUrgency(true);
}

void CPager::slotFlashTimeout()
{
    flashPhase = !flashPhase;
    emit newIcon(flashPhase);
}

void CPager::stopFlashing()
{
    flashTimer.stop();
    emit newIcon(true);
    setUrgency(false);
}

void CPager::setUrgency(bool urgent)
{
    // A window not yet on the screen has nothing to mark.
    if (const WId id = window()->internalWinId())
        setUrgencyHint(id, urgent);
}

void CPager::slotShowList()
{
    QWidget* top = window();
    top->showNormal();
    top->raise();
    top->activateWindow();
    // An open news box keeps the icon flashing until it is closed.
    if (!newContentBox)
        stopFlashing();
}

void CPager::doHelp()
{
    navigateTo(helpPageUrl(), true);
}

void CPager::quit()
{
    // Both are tried; either failing makes the program's end a failure.
    const bool articles = saveArticles(QStringLiteral("article.dat"));
    const bool config = saveConfig(QStringLiteral("ovpager.cfg"));
    m_saveFailed = !articles || !config;
}

void CPager::restart()
{
    saveArticles(QStringLiteral("article.dat"));
    saveConfig(QStringLiteral("ovpager.cfg"));
    // The program under its own name, whatever argv[0] says; no options.
    const QByteArray argv0 = QFile::encodeName(QCoreApplication::arguments().value(0));
    QString error;
    if (!startFreshRun(runningProgramPath(), argv0.isEmpty() ? QByteArray("ovpager") : argv0,
                       &error)) {
        qWarning("Could not restart the pager (%s); this run goes on", qPrintable(error));
        return;
    }
    ::_exit(0);
}

bool CPager::loadConfig(const QString& fileName)
{
    configDialog->optionsPage()->selectSkin(QStringLiteral("Max"));
    configDialog->optionsPage()->setDesktopNotices(
        loadNotifyOptions(dataDirPath + QLatin1String(notifyFile)).mode);
    const QString path = dataDirPath + fileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists())
            std::fprintf(stderr, "Could not read %s; it will be replaced by the settings in use\n",
                         qPrintable(path));
        return false;
    }
    const QByteArray text = file.readAll();
    file.close();
    const ParsedSettings parsed = parseSettings(decodeText(text));
    if (parsed.firstGroup) {
        numItems = parsed.values.numItems;
        pollMinutes = parsed.values.pollMinutes;
    }
    applySettingsToPages(parsed, *configDialog->optionsPage(),
                         *configDialog->inventoryOptionsPage());
    if (!parsed.complete()) {
        // The next save writes defaults over what could not be read: keep
        // the user's file for them to mend.
        const QString kept = path + QStringLiteral(".bad");
        if (writeFileAtomically(kept, text))
            std::fprintf(stderr, "%s could not be read in full; a copy is kept as %s\n",
                         qPrintable(path), qPrintable(kept));
    }
    return parsed.complete();
}

bool CPager::saveConfig(const QString& fileName)
{
    PagerSettings s =
        settingsFromPages(*configDialog->optionsPage(), *configDialog->inventoryOptionsPage());
    // The counts in force, not the page's copy, which follows its sliders.
    s.numItems = numItems;
    s.pollMinutes = pollMinutes;
    const bool settings = writeFileAtomically(dataDirPath + fileName, formatSettings(s));
    // Apart from the settings file, whose lines stay as they are.
    const bool notices = saveNotifyOptions(dataDirPath + QLatin1String(notifyFile),
                                           {configDialog->optionsPage()->desktopNotices()});
    return settings && notices;
}
