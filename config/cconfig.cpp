#include "config/cconfig.h"

#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/core/recipients.h"
#include "config/settingspages.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QShowEvent>
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

void CConfig::refuse(QWidget* page, const QString& caption, const QString& text)
{
    {
        const QSignalBlocker block(tabs);
        tabs->setCurrentWidget(page);
    }
    lastPage = page;
    QMessageBox::warning(nullptr, caption, text, QMessageBox::Ok);
}

bool CConfig::checkRecipients()
{
    const CInventoryOptions* page = m_inventoryOptionsPage;
    struct Notice
    {
        const QCheckBox* box;
        const QLineEdit* edit;
        const char* name;
    };
    // The brief one first: with both incomplete, its message comes first.
    for (const Notice& n : {Notice{page->briefBox, page->briefEdit, "brief"},
                            Notice{page->verboseBox, page->verboseEdit, "verbose"}}) {
        if (!n.box->isChecked())
            continue;
        const QString name = QLatin1String(n.name);
        if (n.edit->text().isEmpty()) {
            refuse(m_inventoryOptionsPage, QStringLiteral("Required Information Missing"),
                   QStringLiteral("You must specify an email recipient for notification (") + name +
                       QStringLiteral(")\nor deselect the option"));
            return false;
        }
        // Each address reaches the mailer's command line.
        if (!isValidRecipientList(n.edit->text())) {
            refuse(m_inventoryOptionsPage, QStringLiteral("Invalid Email Recipients"),
                   QStringLiteral("The email recipients for notification (") + name +
                       QStringLiteral(") must be addresses made of letters, digits and "
                                      "\".@_+-\",\nseparated by commas or blanks"));
            return false;
        }
    }
    return true;
}

bool CConfig::checkStorable()
{
    struct Field
    {
        QWidget* page;
        QString text;
        const char* name;
    };
    const CInventoryOptions* inventory = m_inventoryOptionsPage;
    for (const Field& f :
         {Field{m_optionsPage, m_optionsPage->browserPath(), "web browser path"},
          Field{m_inventoryOptionsPage, inventory->verboseRecipients(), "verbose email recipients"},
          Field{m_inventoryOptionsPage, inventory->briefRecipients(), "brief email recipients"},
          Field{m_inventoryOptionsPage, inventory->mailer(), "mailer command line"}}) {
        if (isStorableSettingText(f.text))
            continue;
        refuse(f.page, QStringLiteral("Invalid Setting"),
               QStringLiteral("The ") + QLatin1String(f.name) +
                   QStringLiteral(" must not contain \"</\" or a settings tag such as "
                                  "\"<mailer>\":\nit could not be read back "
                                  "from the settings file"));
        return false;
    }
    return true;
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
    if (!checkStorable())
        return;
    QDialog::accept();
}

void CConfig::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) { // not when merely restored from an icon
        m_opened = settingsFromPages(*m_optionsPage, *m_inventoryOptionsPage);
        m_openedSkin = m_optionsPage->skinIndex();
        m_openedNotices = m_optionsPage->desktopNotices();
    }
    QDialog::showEvent(event);
}

void CConfig::reject()
{
    // A cancel changes nothing: the pages show again what they showed when
    // the dialog opened.
    const PagerSettings& s = m_opened;
    m_optionsPage->setValues(s.numItems, s.pollMinutes, s.browserPath, s.flashIcon, s.popup,
                             s.configRestart);
    m_optionsPage->setSkinIndex(m_openedSkin);
    m_optionsPage->setDesktopNotices(m_openedNotices);
    m_inventoryOptionsPage->setValues(s.verboseEmail, s.briefEmail, s.mailer, s.vulnPopup,
                                      s.verboseNotify, s.briefNotify);
    QDialog::reject();
}
