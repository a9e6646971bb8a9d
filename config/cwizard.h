#pragma once

#include <QWizard>

class QLineEdit;
class QWizardPage;

// First-run set-up: asks for the browser and the mailer command line and
// checks that each names a program this user can run.
class CWizard : public QWizard
{
    Q_OBJECT
public:
    CWizard();

    QString browserPath() const;
    QString mailerCommand() const;

    static bool isRunnableFile(const QString& path);

    QWizardPage* welcomePage;
    QWizardPage* browserPage;
    QWizardPage* mailerPage;
    QWizardPage* finishedPage;
    QLineEdit* browserEdit;
    QLineEdit* mailerEdit;

public slots:
    void dataChanged(const QString& text);
    void doBrowse();

protected:
    // The checks on the way forward; the way back is watched in pageShown().
    bool validateCurrentPage() override;

private:
    void pageShown(int id);
    // The box naming what is wrong with a field; false when there was one.
    bool acceptable(const QString& program, const QString& wholeText);

    int m_welcomeId = -1;
    int m_browserId = -1;
    int m_mailerId = -1;
    int m_finishedId = -1;
    int m_lastId = -1;
    bool m_returning = false; // going forward again after a failed check on the way back
};
