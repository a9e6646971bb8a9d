#pragma once

#include "config/core/notifyoptions.h"
#include "config/core/settingsfile.h"

#include <QDialog>

class CInventoryOptions;
class COptions;
class QTabWidget;

// The modal configuration dialog. Its pages' widgets are where every
// setting lives while the program runs. The category and inventory pages
// belong to the layers above and are handed in by whoever owns the dialog.
class CConfig : public QDialog
{
    Q_OBJECT
public:
    explicit CConfig(QWidget* parent = nullptr);
    // Puts the two pages at their tabs; the dialog owns them from then on.
    void setPages(QWidget* categoryPage, QWidget* inventoryPage);

    QWidget* categoryPage() const { return m_categoryPage; }
    COptions* optionsPage() const { return m_optionsPage; }
    QWidget* inventoryPage() const { return m_inventoryPage; }
    CInventoryOptions* inventoryOptionsPage() const { return m_inventoryOptionsPage; }

    bool checkRecipients();
    // Refuses a text field that the settings file could not give back.
    bool checkStorable();

public slots:
    void accept() override;
    void reject() override;
    void slotNewTab(int index);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refuse(QWidget* page, const QString& caption, const QString& text);

    PagerSettings m_opened; // the two option pages as they were when shown
    int m_openedSkin = 0;
    DesktopNotices m_openedNotices = DesktopNotices::Off;
    QWidget* m_categoryPage = nullptr;
    COptions* m_optionsPage;
    QWidget* m_inventoryPage = nullptr;
    CInventoryOptions* m_inventoryOptionsPage;
    QWidget* lastPage = nullptr;
    QTabWidget* tabs;
};
