#include "config/coptions.h"

#include "app/core/skinlist.h"
#include "pager/core/globals.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

QSlider* makeSlider(int low, int high, int value, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(low, high);
    slider->setPageStep(5);
    slider->setSingleStep(1);
    slider->setValue(value);
    return slider;
}

QGroupBox* verticalGroup(const QString& title, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    new QVBoxLayout(box);
    return box;
}

} // namespace

COptions::COptions(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    row->addLayout(left);
    row->addLayout(right);

    QGroupBox* interval = verticalGroup(QStringLiteral("Server Polling Interval"), this);
    interval->layout()->addWidget(new QLabel(QString(), interval));
    intervalSlider = makeSlider(10, 60, 15, interval);
    interval->layout()->addWidget(intervalSlider);
    intervalLabel = new QLabel(QStringLiteral("0 Minutes"), interval);
    intervalLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    interval->layout()->addWidget(intervalLabel);
    left->addWidget(interval, 1);

    QGroupBox* articles = verticalGroup(QStringLiteral("Maximum Articles"), this);
    articles->layout()->addWidget(new QLabel(QStringLiteral(" "), articles));
    articleSlider = makeSlider(5, 25, 5, articles);
    articles->layout()->addWidget(articleSlider);
    articleLabel = new QLabel(QStringLiteral("0 Articles"), articles);
    articleLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    articles->layout()->addWidget(articleLabel);
    left->addWidget(articles, 1);

    auto* browserBox = new QGroupBox(QStringLiteral("Web Browser Path"), this);
    browserBox->setMinimumWidth(350);
    auto* browserRow = new QHBoxLayout(browserBox);
    browserEdit = new QLineEdit(browserBox);
    auto* browse = new QPushButton(QStringLiteral("Browse"), browserBox);
    browserRow->addWidget(browserEdit);
    browserRow->addWidget(browse);
    left->addWidget(browserBox, 2);

    QGroupBox* notify = verticalGroup(QStringLiteral("Notification"), this);
    flashBox = new QCheckBox(QStringLiteral("&Flashing Icon"), notify);
    popupBox = new QCheckBox(QStringLiteral("&Pop up window"), notify);
    notify->layout()->addWidget(flashBox);
    notify->layout()->addWidget(popupBox);
    auto* noticeLabel = new QLabel(QStringLiteral("&Desktop notices:"), notify);
    m_noticeCombo = new QComboBox(notify);
    // In the order of DesktopNotices.
    m_noticeCombo->addItems({QStringLiteral("Off"), QStringLiteral("Instead of pop up"),
                             QStringLiteral("Beside pop up")});
    m_noticeCombo->setToolTip(
        QStringLiteral("Where a pop up window is chosen (here for news, on Inventory Options "
                       "for alerts), show a desktop notice instead of it or beside it"));
    noticeLabel->setBuddy(m_noticeCombo);
    notify->layout()->addWidget(noticeLabel);
    notify->layout()->addWidget(m_noticeCombo);
    notify->layout()->addWidget(new QLabel(QString(), notify));
    right->addWidget(notify, 2);

    QGroupBox* skins = verticalGroup(QStringLiteral("Skin Select"), this);
    skins->setMinimumWidth(150);
    skinCombo = new QComboBox(skins);
    skinCombo->setEditable(false);
    skins->layout()->addWidget(skinCombo);
    right->addWidget(skins, 2);

    QGroupBox* restart = verticalGroup(QString(), this);
    restartBox = new QCheckBox(QStringLiteral("Restart Pager\non config"), restart);
    restart->layout()->addWidget(restartBox);
    right->addWidget(restart, 1);

    connect(articleSlider, &QSlider::valueChanged, this, &COptions::slotNumItems);
    connect(intervalSlider, &QSlider::valueChanged, this, &COptions::slotPollInterval);
    connect(browse, &QPushButton::clicked, this, &COptions::slotChooseBrowser);
    connect(skinCombo, qOverload<int>(&QComboBox::activated), this, &COptions::slotSkinChange);

    fillSkinList();
    slotNumItems(5);
    slotPollInterval(15);
}

void COptions::fillSkinList()
{
    skinCombo->addItem(QStringLiteral("No Skin"));
    skinPaths.append(QString());
    const QString root = installedDataRoot() + QStringLiteral("/pagerskins");
    const SkinListing listing = listInstalledSkins(root);
    // Without installed skins the pager still works in its plain look.
    if (!listing.opened)
        qWarning("Could not open skin directory %s", qPrintable(root));
    for (const InstalledSkin& skin : listing.skins) {
        skinCombo->addItem(skin.name);
        skinPaths.append(skin.path);
    }
    skinCombo->setCurrentIndex(0);
}

void COptions::selectSkin(const QString& name)
{
    const int index = skinCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        skinCombo->setCurrentIndex(index);
}

void COptions::setValues(int numItems, int pollMinutes, const QString& browser, bool flash,
                         bool popup, bool restart)
{
    articleSlider->setValue(numItems);
    intervalSlider->setValue(pollMinutes);
    browserEdit->setText(browser);
    flashBox->setChecked(flash);
    popupBox->setChecked(popup);
    restartBox->setChecked(restart);
}

QString COptions::browserPath() const
{
    return browserEdit->text();
}
bool COptions::flashIcon() const
{
    return flashBox->isChecked();
}
bool COptions::popupWindow() const
{
    return popupBox->isChecked();
}
bool COptions::restartOnConfig() const
{
    return restartBox->isChecked();
}
DesktopNotices COptions::desktopNotices() const
{
    return DesktopNotices(qMax(0, m_noticeCombo->currentIndex()));
}
void COptions::setDesktopNotices(DesktopNotices mode)
{
    m_noticeCombo->setCurrentIndex(int(mode));
}
QString COptions::skinName() const
{
    return skinCombo->currentText();
}
QString COptions::skinPath() const
{
    return skinPaths.value(skinCombo->currentIndex());
}

QStringList COptions::skinNames() const
{
    QStringList names;
    for (int i = 0; i < skinCombo->count(); ++i)
        names.append(skinCombo->itemText(i));
    return names;
}

int COptions::skinIndex() const
{
    return skinCombo->currentIndex();
}

void COptions::setSkinIndex(int index)
{
    if (index >= 0 && index < skinCombo->count())
        skinCombo->setCurrentIndex(index);
}

void COptions::slotNumItems(int count)
{
    m_numItems = count;
    articleLabel->setText(QStringLiteral("%1 Articles").arg(count));
}

void COptions::slotPollInterval(int minutes)
{
    m_pollMinutes = minutes;
    intervalLabel->setText(QStringLiteral("%1 Minutes").arg(minutes));
}

void COptions::slotChooseBrowser()
{
    const QString file = QFileDialog::getOpenFileName(nullptr, QString(), QStringLiteral("/"));
    if (!file.isEmpty())
        browserEdit->setText(file);
}

void COptions::slotSkinChange(int)
{
    // A new skin takes effect when the dialog is closed with OK.
}
