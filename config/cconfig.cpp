#include "config/cconfig.h"

#include "config/cinventoryoptions.h"
#include "config/coptions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>

CConfig::CConfig(QWidget* parent) : QDialog(parent)
{
    setModal(true);
    auto* column = new QVBoxLayout(this);
    tabs = new QTabWidget(this);
    column->addWidget(tabs);

    m_optionsPage = new COptions(tabs);
    m_optionsPage->setObjectName(QStringLiteral("options"));
    m_inventoryOptionsPage = new CInventoryOptions(tabs);
    m_inventoryOptionsPage->setObjectName(QStringLiteral("netoptions"));
    tabs->addTab(m_optionsPage, QStringLiteral("&Options"));
    tabs->addTab(m_inventoryOptionsPage, QStringLiteral("&Inventory Options"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CConfig::accept);
    connect(tabs, &QTabWidget::currentChanged, this, &CConfig::slotNewTab);
    lastPage = tabs->currentWidget();
}

void CConfig::setPages(QWidget* categoryPage, QWidget* inventoryPage)
{
    const QSignalBlocker block(tabs);
    m_categoryPage = categoryPage;
    m_categoryPage->setObjectName(QStringLiteral("tree"));
    tabs->insertTab(0, m_categoryPage, QStringLiteral("&Categories"));
    m_inventoryPage = inventoryPage;
    m_inventoryPage->setObjectName(QStringLiteral("netinventory"));
    tabs->insertTab(2, m_inventoryPage, QStringLiteral("&Network Inventory"));
    tabs->setCurrentIndex(0);
    lastPage = tabs->currentWidget();
}

bool CConfig::checkRecipients()
{
    const CInventoryOptions* page = m_inventoryOptionsPage;
    QString text;
    if (page->briefBox->isChecked() && page->briefEdit->text().isEmpty())
        text = QStringLiteral("You must specify an email recipient for notification (brief)\nor "
                              "deselect the option");
    else if (page->verboseBox->isChecked() && page->verboseEdit->text().isEmpty())
        text = QStringLiteral("You must specify an email recipient for notification "
                              "(verbose)\nor deselect the option");
    if (text.isEmpty())
        return true;
    {
        const QSignalBlocker block(tabs);
        tabs->setCurrentWidget(m_inventoryOptionsPage);
    }
    lastPage = m_inventoryOptionsPage;
    QMessageBox::warning(this, QStringLiteral("Required Information Missing"), text,
                         QMessageBox::Ok);
    return false;
}

void CConfig::slotNewTab(int)
{
    if (lastPage == m_inventoryOptionsPage && tabs->currentWidget() != m_inventoryOptionsPage &&
        !checkRecipients())
        return;
    lastPage = tabs->currentWidget();
}

void CConfig::accept()
{
    if (lastPage == m_inventoryOptionsPage && !checkRecipients())
        return;
    QDialog::accept();
}
