#include "config/csearchdialog.h"

#include "pager/core/browserurl.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CSearchDialog::CSearchDialog(QWidget* parent, const char* name) : QDialog(parent)
{
    if (name)
        setObjectName(QLatin1String(name));
    setModal(true);

    auto* row = new QHBoxLayout(this); // the style's margins: nothing touches the frame
    row->addWidget(new QLabel(QStringLiteral("Search For:  "), this), 1);
    searchEdit = new QLineEdit(this);
    row->addWidget(searchEdit, 4);
    row->addStretch(1);
    auto* buttons = new QVBoxLayout;
    auto* submit = new QPushButton(QStringLiteral("&Submit"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    buttons->addWidget(submit, 1);
    buttons->addSpacing(10);
    buttons->addWidget(cancel, 1);
    row->addLayout(buttons, 0);

    connect(submit, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(searchEdit, &QLineEdit::returnPressed, this, &QDialog::accept);
    // Return in the field submits once; no button may also take it as default.
    submit->setAutoDefault(false);
    cancel->setAutoDefault(false);

    searchEdit->setFocus();
    resize(350, 75);
    QString domain = providerWebHost();
    if (domain.startsWith(QLatin1String("www.")))
        domain.remove(0, 4);
    setWindowTitle(QStringLiteral("Search ") + domain);
}
