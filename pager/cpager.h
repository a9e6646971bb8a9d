#pragma once

#include "config/cwizard.h"
#include "pager/core/datadirlock.h"
#include "pager/core/headlinelist.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>

class QMessageBox;

class CCategoryTree;
class CConfig;
class CDesktopNotifier;
class CGuiLinkUi;
class CNetInventory;
class CLookHost;
class CSkin;
class CWWWServer;
class QSplitter;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

// The controller: owns the server link, the configuration dialog, the
// headline list and the timers, and runs the poll cycle.
class CPager : public QWidget
{
    Q_OBJECT
public:
    explicit CPager(QWidget* parent = nullptr, const char* name = nullptr);
    ~CPager() override;

    bool createDataDirectory();
    void startFlashing();
    void stopFlashing();
    bool saveArticles(const QString& fileName);
    bool loadArticles(const QString& fileName);
    bool loadConfig(const QString& fileName);
    bool saveConfig(const QString& fileName);

    CWWWServer* server = nullptr;
    CConfig* configDialog = nullptr;
    CSkin* skin = nullptr;
    CLookHost* lookHost = nullptr; // the window that shows the chosen look
    bool active = false;
    QString adUrl;
    int numItems = 5;

    // The dialog's category and inventory pages, which the controller builds.
    CCategoryTree* categoryPage() const { return m_categoryPage; }
    CNetInventory* inventoryPage() const { return m_inventoryPage; }
    QTreeWidget* headlines() const { return headlineList; }
    QTextBrowser* abstractPane() const { return abstractView; }
    QTimer* pollTimerForTest() { return &pollTimer; }
    // Whether a save at the program's end failed.
    bool saveFailed() const { return m_saveFailed; }
    // Headlines not yet selected, over all categories.
    int newHeadlineCount() const;
    CDesktopNotifier* desktopNotifier() const { return m_notifier; }

public slots:
    void slotUpdateTopLevel();
    void slotUpdateContent();
    void slotReceiveContent(QString& text);
    void slotReceiveAbstract(QString& reply);
    void slotArticleSelected(QTreeWidgetItem* item);
    void slotArticleDoubleClicked(QTreeWidgetItem* item);
    void slotNewContentItem(QString& title, QString& link, QString& timestamp, int id, int topId,
                            bool isNew);
    void slotDoConfig();
    void slotDoSearch();
    void slotReceiveVulns();
    void slotReceiveAd(QString& imagePath, QString& targetUrl);
    void slotBannerNavigate();
    void slotNotifyContent();
    void quit();
    void restart();
    void slotFlashTimeout();
    void slotGetAd();
    void doHelp();
    // Brings the window with the headline list to the front.
    void slotShowList();
    QString resolvServer(const char* host);

signals:
    void newIcon(bool normal);
    void newHeadlineCountChanged(int count);

private:
    void applySkinChoice();
    void takeDataDirLock();
    void showVersionBanner();
    void syncCategory(int index);
    int pollIntervalMs() const;
    void pollContent();
    void noteLinkFailure(int kind, bool answered, const QString& why);
    void noteGoodPoll(const QString& reply);
    void openSelectedHeadline();
    static QString newContentText(const QStringList& categories);
    void showNewContentBox(const QStringList& categories);
    void setUrgency(bool urgent);

    CWizard wizard;
    QSplitter* splitter = nullptr;
    QTreeWidget* headlineList = nullptr;
    QTextBrowser* abstractView = nullptr;
    QTimer pollTimer;
    QTimer adTimer;
    QTimer flashTimer;
    int pollMinutes = 15;
    bool articlesReady = false;
    bool m_storeRead = false; // article.dat has been read since start
    bool newContentSeen = false;
    QPointer<QMessageBox> newContentBox; // the open new-content box, if any
    QStringList shownCategories;         // the categories it names
    bool repollWanted = false;           // the last poll was refused for an old category file
    int polledVersion = 0;               // category file version the last poll sent
    bool flashPhase = false;
    QStringList newCategories;
    QList<QPair<QString, QString>> m_newHeadlines; // (category, title) of this reply's news
    CDesktopNotifier* m_notifier = nullptr;
    CGuiLinkUi* linkUi = nullptr;
    CHeadlineList m_headlines;
    bool m_saveFailed = false;
    enum class Pane
    {
        Version,
        Loading,
        Abstract
    };
    Pane m_paneShows = Pane::Version;
    QString m_pollTrouble;                  // why polls fail, empty while they work
    QDateTime m_lastGoodPoll;               // invalid until one succeeds
    std::unique_ptr<DataDirLock> m_dirLock; // held for the life of the process
    CCategoryTree* m_categoryPage = nullptr;
    CNetInventory* m_inventoryPage = nullptr;
};
