#pragma once

// The "&Network Inventory" page: the vulnerability tree to pick from, the
// custom categories, and the profiles with their entries. The inventory
// itself lives in a display-free CInventory (model()) and the tree in a
// CVulnTree (m_vulnView()); the views here are rebuilt from them, rows found
// by position. Every change made on the page saves "netinventory.dat".

#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"
#include "inventory/core/vulnfeed.h"

#include <QMessageBox>
#include <QPointer>
#include <QStringList>

#include <QWidget>

class CConfig;
class CDesktopNotifier;
class CMailerRunner;
class CWWWServer;
class QComboBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CNetInventory : public QWidget
{
    Q_OBJECT
public:
    CNetInventory(CWWWServer* server, CConfig* config, QWidget* parent = nullptr,
                  const char* name = "netinventory");

    int profileCount() const { return int(m_model.profiles().size()); }
    int version() const { return m_model.version(); }
    QString timestamp() const { return m_model.timestamp(); }

    // For the alerts: read the profiles and categories, set the timestamp,
    // then slotSave("netinventory.dat").
    CInventory& model() { return m_model; }
    const CInventory& model() const { return m_model; }
    const CVulnTree& vulnTree() const { return m_tree; }

    void showAllByProfile();
    void showAllCombined();
    // Position of the profile shown and edited, -1 while an overview is shown.
    int currentEntity() const { return pCurrentEntity; }

public slots:
    void slotLoadVulnTree();
    void slotNewEntity();
    void slotAddProduct();
    void slotRemoveProduct();
    void slotClearProducts();
    void slotChangeEntity(int position);
    void slotSave(const QString& fileName);
    void slotLoad(const QString& fileName);
    void slotDeleteEntity();
    void slotNewCustom();
    void slotVulnSelected();
    void slotCustomSelected();
    void slotVulnListSelected();
    void slotRenameEntity();
    void slotDeleteCustom();
    void slotEditCustom();
    // Reads "vulnpoll.dat" and announces what concerns the profiles. The
    // inventory is saved before anything is announced; boxes and mails
    // follow, each waiting its turn, and nothing here waits for them.
    void processVulns();

public:
    // One box at a time: a box asked for while another is open is shown
    // when the ones before it have been closed.
    void showPopup(const VulnRecord& record, const QString& names);
    void sendBriefMail(const VulnRecord& record, const QString& names);
    void sendVerboseMail(const QString& text);
    CMailerRunner* mailerRunner() const { return m_mailer; }
    // Where alerts go as desktop notices when the Options page asks for them.
    void setDesktopNotifier(CDesktopNotifier* notifier);
    bool popupOpen() const { return m_popup; }

private:
    void initVulnTree();
    void fillVulnTree();
    void fillCustomList();
    void fillList(const CNetworkEntity& profile);
    void appendRow(QTreeWidget* view, const CProductItem& entry);
    void addToCurrent(const QString& vendorName, int vid, const QString& productName, int pid);
    void showCurrentView();
    bool showsProfile() const;
    int selectedCustom() const;

    CWWWServer* m_server;
    CConfig* m_config;
    CInventory m_model;
    CVulnTree m_tree;
    int pCurrentEntity = -1;
    void openNextPopup();
    CMailerRunner* m_mailer;
    QStringList m_popupTexts; // waiting for the open box to close
    QPointer<QMessageBox> m_popup;
    QPointer<CDesktopNotifier> m_notifier;
    void announce(const VulnRecord& record, const QString& names);

    QTreeWidget* m_vulnView;
    QTreeWidget* m_customList;
    QPushButton* m_addCustomButton;
    QPushButton* m_removeCustomButton;
    QPushButton* m_editCustomButton;
    QPushButton* m_addButton;
    QPushButton* m_removeButton;
    QPushButton* m_clearButton;
    QPushButton* m_newButton;
    QPushButton* m_deleteButton;
    QPushButton* m_renameButton;
    QComboBox* m_selector;
    QTreeWidget* m_productList;
};
