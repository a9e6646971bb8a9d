#include "inventory/cnewentitydialog.h"

#include "inventory/core/cinventory.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

CNewEntityDialog::CNewEntityDialog(const QString& initial, QWidget* parent, const char* name)
    : QDialog(parent)
{
    if (name)
        setObjectName(QString::fromLatin1(name));
    setModal(true);
    auto* column = new QVBoxLayout(this);
    column->addSpacing(30);
    column->addWidget(new QLabel(QStringLiteral("Enter a Name for this profile:"), this));
    m_edit = new QLineEdit(initial, this);
    column->addWidget(m_edit);
    column->addSpacing(20);
    column->addStretch();

    auto* row = new QHBoxLayout;
    row->addSpacing(30);
    row->addStretch();
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    row->addWidget(ok);
    row->addSpacing(10);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setAutoDefault(false);
    row->addWidget(cancel);
    column->addLayout(row);
    column->addSpacing(10);

    // Return in the line edit presses the default button.
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CNewEntityDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CNewEntityDialog::reject);
    m_edit->setFocus();
}

QString CNewEntityDialog::text() const
{
    return m_edit->text();
}

void CNewEntityDialog::accept()
{
    // Names are stored unescaped; one holding "</" would not read back.
    if (!fitsInventoryFile(m_edit->text())) {
        QMessageBox::warning(nullptr, QStringLiteral("Invalid Profile Name"),
                             QStringLiteral("A profile name may not contain \"</\"."));
        return;
    }
    QDialog::accept();
}
