#include "config/cinventoryoptions.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CInventoryOptions::CInventoryOptions(QWidget* parent) : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* notify = new QGroupBox(QStringLiteral("Notification Options"), this);
    auto* notifyColumn = new QVBoxLayout(notify);
    vulnPopupBox = new QCheckBox(QStringLiteral("&Popup Window"), notify);
    verboseBox = new QCheckBox(QStringLiteral("&Verbose Email Notification"), notify);
    verboseEdit = new QLineEdit(notify);
    briefBox = new QCheckBox(QStringLiteral("&Brief Email Notification"), notify);
    briefEdit = new QLineEdit(notify);
    for (QWidget* w : {static_cast<QWidget*>(vulnPopupBox), static_cast<QWidget*>(verboseBox),
                       static_cast<QWidget*>(verboseEdit), static_cast<QWidget*>(briefBox),
                       static_cast<QWidget*>(briefEdit)})
        notifyColumn->addWidget(w);
    column->addWidget(notify);

    auto* mailerBox = new QGroupBox(QStringLiteral("Mailer Command Line"), this);
    auto* mailerRow = new QHBoxLayout(mailerBox);
    mailerEdit = new QLineEdit(mailerBox);
    auto* browse = new QPushButton(QStringLiteral("Browse"), mailerBox);
    mailerRow->addWidget(mailerEdit);
    mailerRow->addWidget(browse);
    column->addWidget(mailerBox);

    connect(verboseBox, &QCheckBox::toggled, this, &CInventoryOptions::slotVerboseToggle);
    connect(briefBox, &QCheckBox::toggled, this, &CInventoryOptions::slotBriefToggle);
    connect(browse, &QPushButton::clicked, this, &CInventoryOptions::slotChooseMailer);
}

void CInventoryOptions::setValues(const QString& verboseTo, const QString& briefTo,
                                  const QString& mailer, bool popup, bool verbose, bool brief)
{
    verboseEdit->setText(verboseTo);
    briefEdit->setText(briefTo);
    mailerEdit->setText(mailer);
    vulnPopupBox->setChecked(popup);
    verboseBox->setChecked(verbose);
    slotVerboseToggle(verbose);
    briefBox->setChecked(brief);
    slotBriefToggle(brief);
}

bool CInventoryOptions::popupWindow() const
{
    return vulnPopupBox->isChecked();
}
bool CInventoryOptions::verboseNotify() const
{
    return verboseBox->isChecked();
}
bool CInventoryOptions::briefNotify() const
{
    return briefBox->isChecked();
}
QString CInventoryOptions::verboseRecipients() const
{
    return verboseEdit->text();
}
QString CInventoryOptions::briefRecipients() const
{
    return briefEdit->text();
}
QString CInventoryOptions::mailer() const
{
    return mailerEdit->text();
}

void CInventoryOptions::slotVerboseToggle(bool on)
{
    verboseEdit->setEnabled(on);
}
void CInventoryOptions::slotBriefToggle(bool on)
{
    briefEdit->setEnabled(on);
}

void CInventoryOptions::slotChooseMailer()
{
    const QString file = QFileDialog::getOpenFileName(nullptr, QString(), QStringLiteral("/"));
    if (!file.isEmpty())
        mailerEdit->setText(file);
}
