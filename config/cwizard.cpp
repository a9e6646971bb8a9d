#include "config/cwizard.h"

#include <QFileInfo>
#include <QLineEdit>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const char defaultBrowser[] = "/usr/bin/netscape";
const char defaultMailer[] = "/bin/mail -s \"Orvelle Pager: Vulnerable Profiles\"";
} // namespace

CWizard::CWizard() : QDialog(nullptr)
{
    setModal(true);
    resize(700, 350);
    browserEdit = new QLineEdit(this);
    mailerEdit = new QLineEdit(this);
    if (isRunnableFile(QString::fromLatin1(defaultBrowser)))
        browserEdit->setText(QString::fromLatin1(defaultBrowser));
    const QString mailer = QString::fromLatin1(defaultMailer);
    if (isRunnableFile(mailer.section(u' ', 0, 0)))
        mailerEdit->setText(mailer);
}

int CWizard::exec()
{
    setResult(QDialog::Accepted);
    return QDialog::Accepted;
}

QString CWizard::browserPath() const
{
    return browserEdit->text();
}
QString CWizard::mailerCommand() const
{
    return mailerEdit->text();
}

bool CWizard::isRunnableFile(const QString& path)
{
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    return !name.isEmpty() && ::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(name.constData(), X_OK) == 0;
}
