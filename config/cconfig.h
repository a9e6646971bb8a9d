#pragma once

#include <QDialog>

class CCategoryTree;
class CInventoryOptions;
class CNetInventory;
class COptions;
class CWWWServer;
class QTabWidget;

// The modal configuration dialog. Its pages' widgets are where every
// setting lives while the program runs.
class CConfig : public QDialog
{
    Q_OBJECT
public:
    explicit CConfig(CWWWServer* server, QWidget* parent = nullptr);

    CCategoryTree* categoryPage() const { return m_categoryPage; }
    COptions* optionsPage() const { return m_optionsPage; }
    CNetInventory* inventoryPage() const { return m_inventoryPage; }
    CInventoryOptions* inventoryOptionsPage() const { return m_inventoryOptionsPage; }

    bool checkRecipients();

public slots:
    void accept() override;
    void slotNewTab(int index);

private:
    CCategoryTree* m_categoryPage;
    COptions* m_optionsPage;
    CNetInventory* m_inventoryPage;
    CInventoryOptions* m_inventoryOptionsPage;
    QWidget* lastPage = nullptr;
    QTabWidget* tabs;
};
