#include "config/cwizard.h"

#include "config/core/runnablefile.h"
#include "config/core/settingsfile.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWizardPage>

namespace {

// Older systems have the first of each; today's have one of the others.
const QStringList browserCandidates = {QStringLiteral("/usr/bin/netscape"),
                                       QStringLiteral("/usr/bin/x-www-browser"),
                                       QStringLiteral("/usr/bin/xdg-open")};
const QStringList mailerCandidates = {QStringLiteral("/bin/mail"), QStringLiteral("/usr/bin/mail")};
const char mailerOptions[] = " -s \"Orvelle Pager: Vulnerable Profiles\"";

const char welcomeText[] = "Welcome to the Orvelle Pager application.\n\n"
                           "The next few dialogs will help you set up the Pager for\n"
                           "for your system configuration.\n\n"
                           "Click on the Next button to get started.\n";
const char browserText[] = "In order to browse content on the Orvelle web site,\n"
                           "the Pager needs to know where to find your preferred\n"
                           "web browser.  Enter the full path below.\n\n";
const char mailerText[] = "The network inventory feature of the pager includes the ability\n"
                          "to send email notification of vulnerabilities.  To use this \n"
                          "feature the pager needs to know where to find a mail program\n"
                          "on your system.  Please enter the full path below.\n\n";
const char finishedText[] = "You are now finished configuring the Orvelle Pager.\n"
                            "Click the Finish button to launch the Pager.\n";

// A page whose Next follows its field, if it has one.
class FieldPage : public QWizardPage
{
public:
    using QWizardPage::QWizardPage;
    QLineEdit* field = nullptr;
    bool isComplete() const override { return !field || !field->text().isEmpty(); }
};

FieldPage* makePage(const QString& title, const char* text)
{
    auto* page = new FieldPage;
    page->setTitle(title);
    auto* column = new QVBoxLayout(page);
    column->addWidget(new QLabel(QString::fromLatin1(text), page));
    return page;
}

QLineEdit* addFieldRow(FieldPage* page, QPushButton** browse)
{
    auto* row = new QHBoxLayout;
    auto* edit = new QLineEdit(page);
    *browse = new QPushButton(QStringLiteral("Browse"), page);
    row->addWidget(edit);
    row->addWidget(*browse);
    static_cast<QVBoxLayout*>(page->layout())->addLayout(row);
    page->field = edit;
    return edit;
}

} // namespace

CWizard::CWizard() : QWizard(nullptr)
{
    setModal(true);
    setWizardStyle(QWizard::ClassicStyle);
    setWindowTitle(QStringLiteral("Orvelle Pager Setup"));
    resize(700, 350);

    FieldPage* welcome = makePage(QStringLiteral("Welcome"), welcomeText);
    FieldPage* browser = makePage(QStringLiteral("Browser Path"), browserText);
    QPushButton* browseBrowser = nullptr;
    browserEdit = addFieldRow(browser, &browseBrowser);
    browserEdit->setText(firstRunnableFile(browserCandidates));
    FieldPage* mailer = makePage(QStringLiteral("Mailer Path"), mailerText);
    QPushButton* browseMailer = nullptr;
    mailerEdit = addFieldRow(mailer, &browseMailer);
    const QString mailProgram = firstRunnableFile(mailerCandidates);
    if (!mailProgram.isEmpty())
        mailerEdit->setText(mailProgram + QLatin1String(mailerOptions));
    FieldPage* finished = makePage(QStringLiteral("Finished"), finishedText);

    welcomePage = welcome;
    browserPage = browser;
    mailerPage = mailer;
    finishedPage = finished;
    m_welcomeId = addPage(welcomePage);
    m_browserId = addPage(browserPage);
    m_mailerId = addPage(mailerPage);
    m_finishedId = addPage(finishedPage);
    setButtonText(QWizard::NextButton, QStringLiteral("Next >"));
    setButtonText(QWizard::CancelButton, QStringLiteral("&Cancel"));

    connect(browserEdit, &QLineEdit::textChanged, this, &CWizard::dataChanged);
    connect(mailerEdit, &QLineEdit::textChanged, this, &CWizard::dataChanged);
    connect(browseBrowser, &QPushButton::clicked, this, &CWizard::doBrowse);
    connect(browseMailer, &QPushButton::clicked, this, &CWizard::doBrowse);
    connect(this, &QWizard::currentIdChanged, this, &CWizard::pageShown);
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
    return ::isRunnableFile(path);
}

void CWizard::dataChanged(const QString& text)
{
    if (QAbstractButton* next = button(QWizard::NextButton))
        next->setEnabled(!text.isEmpty());
}

void CWizard::doBrowse()
{
    const QString file = QFileDialog::getOpenFileName(nullptr, QString(), QStringLiteral("/"));
    if (file.isEmpty())
        return; // cancelled: the field keeps what the user had
    if (currentPage() == browserPage)
        browserEdit->setText(file);
    else if (currentPage() == mailerPage)
        mailerEdit->setText(file);
}

bool CWizard::acceptable(const QString& program, const QString& wholeText)
{
    QString problem;
    if (!::isRunnableFile(program))
        problem = program + QStringLiteral(" is not a path to a valid executable file");
    else if (!isStorableSettingText(wholeText))
        problem =
            wholeText + QStringLiteral(" cannot be kept in the settings: it must not "
                                       "contain \"</\" or a settings tag such as \"<mailer>\"");
    if (problem.isEmpty())
        return true;
    QMessageBox::information(nullptr, QStringLiteral("Orvelle Pager Wizard"), problem,
                             QMessageBox::Ok);
    return false;
}

bool CWizard::validateCurrentPage()
{
    if (m_returning)
        return true;
    if (currentId() == m_browserId)
        return acceptable(browserEdit->text(), browserEdit->text());
    if (currentId() == m_mailerId)
        return acceptable(commandProgram(mailerEdit->text()), mailerEdit->text());
    return true;
}

void CWizard::pageShown(int id)
{
    const int from = m_lastId;
    m_lastId = id;
    if (id == m_welcomeId) {
        setButtonText(QWizard::NextButton, QStringLiteral("Next >"));
        setButtonText(QWizard::CancelButton, QStringLiteral("&Cancel"));
    }
    // Back from Finished: the browser is looked at again, and a failure
    // keeps the user where they were.
    if (!m_returning && id == m_mailerId && from == m_finishedId &&
        !acceptable(browserEdit->text(), browserEdit->text())) {
        m_returning = true;
        next();
        m_returning = false;
        return;
    }
    if (id == m_finishedId) {
        if (QAbstractButton* finish = button(QWizard::FinishButton)) {
            finish->setEnabled(true);
            finish->setFocus();
        }
    }
}
