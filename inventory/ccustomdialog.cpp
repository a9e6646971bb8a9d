#include "inventory/ccustomdialog.h"

#include "inventory/core/cinventory.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

CCustomDialog::CCustomDialog(const QString& name, const QString& keywords, QWidget* parent)
    : QDialog(parent)
{
    setModal(true);
    setWindowTitle(QStringLiteral("Custom Product Category"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("Name:"), this));
    m_name = new QLineEdit(name, this);
    column->addWidget(m_name);
    column->addWidget(new QLabel(QStringLiteral("Keywords: (seperated by commas)"), this));
    m_keywords = new QLineEdit(keywords, this);
    column->addWidget(m_keywords);

    auto* row = new QHBoxLayout;
    row->addStretch(2);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    // Return in the name field must move on, not press a default button.
    cancel->setAutoDefault(false);
    ok->setAutoDefault(false);
    row->addWidget(cancel);
    row->addWidget(ok);
    column->addLayout(row);

    connect(ok, &QPushButton::clicked, this, &CCustomDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CCustomDialog::reject);
    connect(m_name, &QLineEdit::returnPressed, m_keywords, qOverload<>(&QWidget::setFocus));
    connect(m_keywords, &QLineEdit::returnPressed, this, &CCustomDialog::accept);
    m_name->setFocus();
}

QString CCustomDialog::name() const
{
    return m_name->text();
}

QString CCustomDialog::keywords() const
{
    return m_keywords->text();
}

void CCustomDialog::accept()
{
    // Values are stored unescaped; text holding "</" would not read back.
    if (!fitsInventoryFile(m_name->text()) || !fitsInventoryFile(m_keywords->text())) {
        QMessageBox::warning(nullptr, QStringLiteral("Invalid Custom Category"),
                             QStringLiteral("Names and keywords may not contain \"</\"."));
        return;
    }
    QDialog::accept();
}
