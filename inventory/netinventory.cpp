#include "inventory/netinventory.h"

#include "config/cconfig.h"
#include "config/cdesktopnotifier.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/core/desktopnotice.h"
#include "inventory/ccustomdialog.h"
#include "inventory/ccustomitem.h"
#include "inventory/cnewentitydialog.h"
#include "inventory/core/cmailerrunner.h"
#include "inventory/cvulncatitem.h"
#include "net/core/cwwwrequest.h"
#include "net/core/cwwwserver.h"
#include "pager/core/globals.h"
#include "pager/core/textencoding.h"

#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

// The toolkit's old warning-only assertion: say what was missing and where.
#define OVP_CHECK(cond, what)                                                                      \
    if (!(cond)) {                                                                                 \
        qWarning("ASSERT: \"%s\" in %s (%d)", what, __FILE__, __LINE__);                           \
        return;                                                                                    \
    }

namespace {

const QString inventoryFile = QStringLiteral("netinventory.dat");
const QString alertCaption = QStringLiteral("Orvelle Pager Vulnerability Notification");

// A box that destroys data asks first, with "Cancel" first and the default.
bool confirmed(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, caption, text);
    // One role for both keeps them in the order added.
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::ActionRole);
    QPushButton* ok = box.addButton(QStringLiteral("Ok"), QMessageBox::ActionRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok;
}

QPushButton* button(const QString& text, QWidget* parent, bool enabled)
{
    auto* b = new QPushButton(text, parent);
    b->setEnabled(enabled);
    return b;
}

QLabel* centredLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QHBoxLayout* buttonRow(QPushButton* a, QPushButton* b, QPushButton* c)
{
    auto* row = new QHBoxLayout;
    row->addWidget(a, 3);
    row->addStretch(1);
    row->addWidget(b, 3);
    row->addStretch(1);
    row->addWidget(c, 3);
    return row;
}

// The new and the edit dialog refuse an empty name or empty keywords alike,
// each with its own caption and texts.
bool customAnswerComplete(const QString& name, const QString& keywords, const QString& caption,
                          const QString& noName, const QString& noKeywords)
{
    if (!name.isEmpty() && !keywords.isEmpty())
        return true;
    QMessageBox::warning(nullptr, caption, name.isEmpty() ? noName : noKeywords, QMessageBox::Ok);
    return false;
}

} // namespace

CNetInventory::CNetInventory(CWWWServer* server, CConfig* config, QWidget* parent, const char* name)
    : QWidget(parent), m_server(server), m_config(config), m_mailer(new CMailerRunner(this))
{
    setObjectName(QString::fromLatin1(name));

    m_vulnView = new QTreeWidget(this);
    m_vulnView->setObjectName(QStringLiteral("vulnTree"));
    m_vulnView->setColumnCount(1);
    m_vulnView->setHeaderLabels({QString()});
    m_vulnView->header()->hide();
    m_vulnView->setRootIsDecorated(true);
    m_vulnView->setMinimumWidth(200);

    m_customList = new QTreeWidget(this);
    m_customList->setObjectName(QStringLiteral("customList"));
    m_customList->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Keywords")});
    m_customList->setColumnWidth(0, 100);
    m_customList->setColumnWidth(1, 133);
    m_customList->setMinimumHeight(100);
    m_customList->setRootIsDecorated(false);

    m_addCustomButton = button(QStringLiteral("&Add"), this, true);
    m_removeCustomButton = button(QStringLiteral("&Remove"), this, false);
    m_editCustomButton = button(QStringLiteral("&Edit"), this, false);
    m_addButton = button(QStringLiteral("->"), this, false);
    m_removeButton = button(QStringLiteral("<-"), this, false);
    m_clearButton = button(QStringLiteral("<<"), this, false);
    m_newButton = button(QStringLiteral("&New"), this, true);
    m_deleteButton = button(QStringLiteral("&Delete"), this, false);
    m_renameButton = button(QStringLiteral("R&ename"), this, false);

    m_selector = new QComboBox(this);
    m_selector->setObjectName(QStringLiteral("entitySelector"));
    m_selector->addItem(QStringLiteral("All (By Profile)"));
    m_selector->addItem(QStringLiteral("All (Combined)"));

    m_productList = new QTreeWidget(this);
    m_productList->setObjectName(QStringLiteral("productList"));
    m_productList->setHeaderLabels({QStringLiteral("Vendor"), QStringLiteral("Product")});
    m_productList->setColumnWidth(0, 160);
    m_productList->setColumnWidth(1, 150);
    m_productList->setMinimumWidth(200);
    m_productList->setRootIsDecorated(false);

    auto* columns = new QHBoxLayout(this);
    columns->setSpacing(10);

    auto* left = new QVBoxLayout;
    left->addSpacing(10);
    left->addWidget(centredLabel(QStringLiteral("Products"), this));
    left->addWidget(m_vulnView);
    left->addSpacing(15);
    left->addWidget(centredLabel(QStringLiteral("Custom Products"), this));
    left->addWidget(m_customList);
    left->addLayout(buttonRow(m_addCustomButton, m_removeCustomButton, m_editCustomButton));
    columns->addLayout(left, 1);

    auto* middle = new QVBoxLayout;
    middle->addStretch(3);
    middle->addWidget(m_addButton);
    middle->addSpacing(50);
    middle->addWidget(m_removeButton);
    middle->addSpacing(50);
    middle->addWidget(m_clearButton);
    middle->addStretch(3);
    columns->addLayout(middle, 1);

    auto* right = new QVBoxLayout;
    right->addSpacing(10);
    right->addWidget(centredLabel(QStringLiteral("Current Profile"), this));
    right->addSpacing(10);
    right->addLayout(buttonRow(m_newButton, m_deleteButton, m_renameButton));
    right->addSpacing(10);
    right->addWidget(m_selector);
    right->addWidget(m_productList);
    columns->addLayout(right, 5);

    connect(m_vulnView, &QTreeWidget::itemSelectionChanged, this, &CNetInventory::slotVulnSelected);
    connect(m_customList, &QTreeWidget::itemSelectionChanged, this,
            &CNetInventory::slotCustomSelected);
    connect(m_productList, &QTreeWidget::itemSelectionChanged, this,
            &CNetInventory::slotVulnListSelected);
    connect(m_addCustomButton, &QPushButton::clicked, this, &CNetInventory::slotNewCustom);
    connect(m_removeCustomButton, &QPushButton::clicked, this, &CNetInventory::slotDeleteCustom);
    connect(m_editCustomButton, &QPushButton::clicked, this, &CNetInventory::slotEditCustom);
    connect(m_addButton, &QPushButton::clicked, this, &CNetInventory::slotAddProduct);
    connect(m_removeButton, &QPushButton::clicked, this, &CNetInventory::slotRemoveProduct);
    connect(m_clearButton, &QPushButton::clicked, this, &CNetInventory::slotClearProducts);
    connect(m_newButton, &QPushButton::clicked, this, &CNetInventory::slotNewEntity);
    connect(m_deleteButton, &QPushButton::clicked, this, &CNetInventory::slotDeleteEntity);
    connect(m_renameButton, &QPushButton::clicked, this, &CNetInventory::slotRenameEntity);
    connect(m_selector, &QComboBox::activated, this, &CNetInventory::slotChangeEntity);

    if (m_server)
        connect(m_server, &CWWWServer::vulnCategoryUpdateDone, this,
                &CNetInventory::slotLoadVulnTree);
    initVulnTree();
    if (QFile::exists(dataDirPath + inventoryFile))
        slotLoad(inventoryFile);
    m_selector->setCurrentIndex(0);
    showAllByProfile();
}

void CNetInventory::initVulnTree()
{
    if (QFile::exists(dataDirPath + QStringLiteral("vulncategory.dat")))
        slotLoadVulnTree();
    else if (m_server)
        m_server->enqueue(VulnCategoryUpdate, QString());
}

void CNetInventory::slotLoadVulnTree()
{
    QFile file(dataDirPath + QStringLiteral("vulncategory.dat"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const VulnTreeRead read = readVulnCategoryFile(file.readAll());
    for (const QString& note : read.skipped)
        debugLine(note);
    // A file that yields no rows would leave nothing to pick from and no
    // names for the profiles: the tree in hand is the better one.
    if (read.tree.rowCount() == 0) {
        qWarning("vulncategory.dat holds no rows; the vulnerability tree is kept");
        return;
    }
    m_tree = read.tree;
    if (m_tree.version() > 0)
        m_model.setVersion(m_tree.version());
    fillVulnTree();
    // Entries read before the tree was there get their names now.
    m_model.resolveNames(m_tree);
    showCurrentView();
}

void CNetInventory::fillVulnTree()
{
    m_vulnView->clear();
    QList<QTreeWidgetItem*> vendors;
    vendors.reserve(m_tree.vendors().size());
    for (const CVulnVendor& vendor : m_tree.vendors()) {
        auto* row = new CVulnCatItem(static_cast<QTreeWidget*>(nullptr), vendor.name, vendor.id);
        for (const CVulnProduct& product : vendor.products)
            new CVulnCatItem(row, product.name, product.id);
        vendors.append(row);
    }
    m_vulnView->addTopLevelItems(vendors);
}

void CNetInventory::fillCustomList()
{
    m_customList->clear();
    for (const CCustomCategory& category : m_model.customs())
        new CCustomItem(m_customList, category.name, category.keywords, category.id);
}

void CNetInventory::appendRow(QTreeWidget* view, const CProductItem& entry)
{
    new QTreeWidgetItem(view, {entry.vendorName, entry.productName});
}

void CNetInventory::fillList(const CNetworkEntity& profile)
{
    m_productList->clear();
    for (const CProductItem& entry : profile.entries)
        appendRow(m_productList, entry);
}

void CNetInventory::showCurrentView()
{
    if (pCurrentEntity >= 0)
        fillList(m_model.profiles().at(pCurrentEntity));
    else if (m_selector->currentIndex() == 1)
        showAllCombined();
    else
        showAllByProfile();
}

bool CNetInventory::showsProfile() const
{
    return m_selector->currentIndex() >= 2;
}

int CNetInventory::selectedCustom() const
{
    const QList<QTreeWidgetItem*> selected = m_customList->selectedItems();
    return selected.isEmpty() ? -1 : m_customList->indexOfTopLevelItem(selected.first());
}

void CNetInventory::showAllByProfile()
{
    pCurrentEntity = -1;
    m_productList->clear();
    m_productList->setRootIsDecorated(true);
    for (const CNetworkEntity& profile : m_model.profiles()) {
        auto* top = new QTreeWidgetItem(m_productList, {profile.name});
        for (const CProductItem& entry : profile.entries)
            new QTreeWidgetItem(top, {entry.vendorName, entry.productName});
        top->setExpanded(true);
    }
    m_deleteButton->setEnabled(false);
    m_renameButton->setEnabled(false);
}

void CNetInventory::showAllCombined()
{
    pCurrentEntity = -1;
    m_productList->clear();
    m_productList->setRootIsDecorated(false);
    QSet<QPair<QString, QString>> shown;
    for (const CNetworkEntity& profile : m_model.profiles()) {
        for (const CProductItem& entry : profile.entries) {
            const QPair<QString, QString> key(entry.vendorName, entry.productName);
            if (shown.contains(key))
                continue;
            shown.insert(key);
            appendRow(m_productList, entry);
        }
    }
}

void CNetInventory::slotChangeEntity(int position)
{
    if (position == 0 || position == 1) {
        for (QPushButton* b :
             {m_addButton, m_removeButton, m_clearButton, m_deleteButton, m_renameButton})
            b->setEnabled(false);
        if (position == 0)
            showAllByProfile();
        else
            showAllCombined();
        return;
    }
    m_productList->setRootIsDecorated(false);
    const int at = m_model.findEntityByIndex(position);
    if (at < 0) {
        qWarning("Could not find Entity for index");
        return;
    }
    fillList(m_model.profiles().at(at));
    pCurrentEntity = at;
    slotSave(inventoryFile);
    if (!m_vulnView->selectedItems().isEmpty() || !m_customList->selectedItems().isEmpty())
        m_addButton->setEnabled(true);
    if (m_productList->topLevelItemCount() > 0) {
        m_clearButton->setEnabled(true);
        if (!m_productList->selectedItems().isEmpty())
            m_removeButton->setEnabled(true);
    }
    m_deleteButton->setEnabled(true);
    m_renameButton->setEnabled(true);
}

void CNetInventory::slotNewEntity()
{
    CNewEntityDialog dialog(QString(), nullptr, "newentity");
    dialog.setWindowTitle(QStringLiteral("New Profile"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = dialog.text();
    if (name.isEmpty())
        return;
    if (m_model.entityExists(name)) {
        QMessageBox::information(nullptr, QStringLiteral("Duplicate Profile"),
                                 QStringLiteral("There is already a Profile with that Name."),
                                 QMessageBox::Ok);
        return;
    }
    const int at = m_model.newEntity(name);
    m_selector->addItem(name);
    m_selector->setCurrentIndex(m_selector->count() - 1);
    m_productList->clear();
    m_productList->setRootIsDecorated(false);
    pCurrentEntity = at;
    m_deleteButton->setEnabled(true);
    m_renameButton->setEnabled(true);
    slotSave(inventoryFile);
}

void CNetInventory::slotRenameEntity()
{
    OVP_CHECK(pCurrentEntity >= 0, "pCurrentEntity");
    CNewEntityDialog dialog(m_selector->currentText(), nullptr, "renameentity");
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = dialog.text();
    if (name.isEmpty())
        return;
    if (m_model.entityExists(name)) {
        QMessageBox::information(nullptr, QStringLiteral("Duplicate Entity"),
                                 QStringLiteral("There is already a Profile with that Name."),
                                 QMessageBox::Ok);
        return;
    }
    OVP_CHECK(pCurrentEntity >= 0, "pCurrentEntity");
    CNetworkEntity& profile = m_model.profiles()[pCurrentEntity];
    profile.name = name;
    m_selector->setItemText(profile.index, name);
    m_selector->update();
    slotSave(inventoryFile);
}

void CNetInventory::slotDeleteEntity()
{
    OVP_CHECK(pCurrentEntity >= 0, "pCurrentEntity");
    const QString name = m_model.profiles().at(pCurrentEntity).name;
    if (!confirmed(QStringLiteral("Confirm Delete Profile"),
                   QStringLiteral("You are about to delete the profile named '") + name +
                       QStringLiteral("'\n\nPress Ok to continue.")))
        return;
    OVP_CHECK(pCurrentEntity >= 0, "pCurrentEntity");
    m_selector->removeItem(m_model.profiles().at(pCurrentEntity).index);
    m_model.removeEntity(pCurrentEntity);
    pCurrentEntity = -1;
    m_selector->setCurrentIndex(0);
    showAllByProfile();
    slotSave(inventoryFile);
}

void CNetInventory::slotVulnSelected()
{
    if (m_vulnView->selectedItems().isEmpty())
        return;
    m_customList->clearSelection();
    m_removeCustomButton->setEnabled(false);
    m_editCustomButton->setEnabled(false);
    if (showsProfile())
        m_addButton->setEnabled(true);
}

void CNetInventory::slotCustomSelected()
{
    if (m_customList->selectedItems().isEmpty())
        return;
    m_vulnView->clearSelection();
    m_removeCustomButton->setEnabled(true);
    m_editCustomButton->setEnabled(true);
    if (showsProfile())
        m_addButton->setEnabled(true);
}

void CNetInventory::slotVulnListSelected()
{
    if (showsProfile() && !m_productList->selectedItems().isEmpty())
        m_removeButton->setEnabled(true);
}

void CNetInventory::addToCurrent(const QString& vendorName, int vid, const QString& productName,
                                 int pid)
{
    QList<int> removed;
    if (!m_model.profiles()[pCurrentEntity].addProduct(vendorName, vid, productName, pid, &removed))
        return;
    for (qsizetype i = removed.size() - 1; i >= 0; --i)
        delete m_productList->takeTopLevelItem(removed.at(i));
    appendRow(m_productList, m_model.profiles().at(pCurrentEntity).entries.last());
}

void CNetInventory::slotAddProduct()
{
    OVP_CHECK(pCurrentEntity >= 0, "pCurrentEntity");
    const QList<QTreeWidgetItem*> picked = m_vulnView->selectedItems();
    if (!picked.isEmpty()) {
        const auto* row = static_cast<const CVulnCatItem*>(picked.first());
        if (!row->parent()) {
            addToCurrent(row->text(0), row->id, QString::fromLatin1(allProductsName), 0);
        } else {
            const auto* vendor = static_cast<const CVulnCatItem*>(row->parent());
            addToCurrent(vendor->text(0), vendor->id, row->text(0), row->id);
        }
    }
    const int custom = selectedCustom();
    if (custom >= 0) {
        const CCustomCategory& category = m_model.customs().at(custom);
        addToCurrent(QString::fromLatin1(customVendorName), 0, category.name, category.id);
    }
    slotSave(inventoryFile);
    m_clearButton->setEnabled(true);
    if (!m_productList->selectedItems().isEmpty())
        m_removeButton->setEnabled(true);
}

void CNetInventory::slotRemoveProduct()
{
    OVP_CHECK(pCurrentEntity >= 0, "pCurrentEntity");
    const QList<QTreeWidgetItem*> selected = m_productList->selectedItems();
    if (selected.isEmpty())
        return;
    const int position = m_productList->indexOfTopLevelItem(selected.first());
    if (position < 0)
        return;
    m_model.profiles()[pCurrentEntity].removeProductAt(position);
    delete m_productList->takeTopLevelItem(position);
    slotSave(inventoryFile);
    if (m_productList->topLevelItemCount() == 0) {
        m_removeButton->setEnabled(false);
        m_clearButton->setEnabled(false);
    }
    if (m_productList->selectedItems().isEmpty())
        m_removeButton->setEnabled(false);
}

void CNetInventory::slotClearProducts()
{
    OVP_CHECK(pCurrentEntity >= 0, "pCurrentEntity");
    m_model.profiles()[pCurrentEntity].clearProducts();
    m_productList->clear();
    slotSave(inventoryFile);
    m_removeButton->setEnabled(false);
    m_clearButton->setEnabled(false);
}

void CNetInventory::slotSave(const QString& fileName)
{
    // The writer names a failure on standard error and keeps the old file.
    m_model.save(dataDirPath + fileName);
}

void CNetInventory::slotLoad(const QString& fileName)
{
    if (!m_model.load(dataDirPath + fileName, m_tree))
        return;
    fillCustomList();
    while (m_selector->count() > 2)
        m_selector->removeItem(2);
    for (const CNetworkEntity& profile : m_model.profiles())
        m_selector->addItem(profile.name);
    pCurrentEntity = int(m_model.profiles().size()) - 1;
}

void CNetInventory::slotNewCustom()
{
    CCustomDialog dialog(QString(), QString(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = dialog.name();
    const QString keywords = dialog.keywords();
    if (!customAnswerComplete(name, keywords, QStringLiteral("New Custom Category"),
                              QStringLiteral("You must specify a name for the new category."),
                              QStringLiteral("You must specify keywords for the new category.")))
        return;
    const int id = m_model.addCustom(name, keywords);
    new CCustomItem(m_customList, name, keywords, id);
    slotSave(inventoryFile);
}

void CNetInventory::slotEditCustom()
{
    const int position = selectedCustom();
    OVP_CHECK(position >= 0, "customItem");
    const int id = m_model.customs().at(position).id;
    CCustomDialog dialog(m_model.customs().at(position).name,
                         m_model.customs().at(position).keywords, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = dialog.name();
    const QString keywords = dialog.keywords();
    if (!customAnswerComplete(name, keywords, QStringLiteral("Edit Custom Category"),
                              QStringLiteral("You must specify a name for the category."),
                              QStringLiteral("You must specify keywords for the category.")))
        return;
    const int at = m_model.findCustomItem(id);
    OVP_CHECK(at >= 0, "customItem");
    m_model.editCustom(at, name, keywords);
    QTreeWidgetItem* row = m_customList->topLevelItem(at);
    row->setText(0, name);
    row->setText(1, keywords);
    m_selector->setCurrentIndex(0);
    showAllByProfile();
    slotSave(inventoryFile);
}

void CNetInventory::slotDeleteCustom()
{
    const int position = selectedCustom();
    OVP_CHECK(position >= 0, "customItem");
    const int id = m_model.customs().at(position).id;
    if (m_model.customInUse(id) &&
        !confirmed(QStringLiteral("Confirm Delete Custom"),
                   QStringLiteral("One or more of your network profiles contains the custom "
                                  "category you are about to delete.\n\nPress Ok to continue.")))
        return;
    const int at = m_model.findCustomItem(id);
    OVP_CHECK(at >= 0, "customItem");
    m_model.removeCustom(at);
    delete m_customList->takeTopLevelItem(at);
    m_removeCustomButton->setEnabled(false);
    m_editCustomButton->setEnabled(false);
    m_addButton->setEnabled(false);
    slotChangeEntity(m_selector->currentIndex());
    slotSave(inventoryFile);
}

void CNetInventory::processVulns()
{
    QFile file(dataDirPath + QStringLiteral("vulnpoll.dat"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const VulnFeedResult result = processVulnFeed(decodeText(file.readAll()), m_model, m_tree);
    file.close();
    m_model.setTimestamp(result.timestamp);
    slotSave(inventoryFile);

    const CInventoryOptions* options = m_config ? m_config->inventoryOptionsPage() : nullptr;
    if (!options)
        return;
    for (const VulnNotice& notice : result.notices) {
        if (options->briefNotify())
            sendBriefMail(notice.record, notice.names);
        if (options->popupWindow())
            announce(notice.record, notice.names);
    }
    if (!result.verboseText.isEmpty() && options->verboseNotify())
        sendVerboseMail(result.verboseText);
}

void CNetInventory::setDesktopNotifier(CDesktopNotifier* notifier)
{
    m_notifier = notifier;
}

void CNetInventory::announce(const VulnRecord& record, const QString& names)
{
    const COptions* general = m_config ? m_config->optionsPage() : nullptr;
    const DesktopNotices notices =
        general && m_notifier ? general->desktopNotices() : DesktopNotices::Off;
    if (notices != DesktopNotices::Off) {
        // The box stays the way the alert reaches a desktop without a service.
        m_notifier->send(alertNotice(alertCaption, popupText(record, names)), this,
                         [this, record, names] { showPopup(record, names); });
    }
    if (notices != DesktopNotices::Instead)
        showPopup(record, names);
}

void CNetInventory::showPopup(const VulnRecord& record, const QString& names)
{
    m_popupTexts.append(popupText(record, names));
    if (!m_popup)
        openNextPopup();
}

void CNetInventory::openNextPopup()
{
    if (m_popupTexts.isEmpty())
        return;
    auto* box = new QMessageBox(QMessageBox::Information, alertCaption, m_popupTexts.takeFirst(),
                                QMessageBox::Ok, this);
    box->setDefaultButton(QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_popup = box;
    // Queued, so the closed box is gone before the next one opens.
    connect(box, &QDialog::finished, this, &CNetInventory::openNextPopup, Qt::QueuedConnection);
    box->open();
}

void CNetInventory::sendBriefMail(const VulnRecord& record, const QString& names)
{
    const CInventoryOptions* options = m_config ? m_config->inventoryOptionsPage() : nullptr;
    if (options)
        m_mailer->send(options->mailer(), options->briefRecipients(),
                       briefMailLine(record, names).toUtf8(), QStringLiteral("brief"));
}

void CNetInventory::sendVerboseMail(const QString& text)
{
    const CInventoryOptions* options = m_config ? m_config->inventoryOptionsPage() : nullptr;
    if (options)
        m_mailer->send(options->mailer(), options->verboseRecipients(), text.toUtf8(),
                       QStringLiteral("verbose"));
}
