#pragma once

#include <QDialog>

class QLineEdit;

// First-run set-up: asks for the browser and the mailer. This first form
// accepts at once with the defaults that exist on this machine; the guided
// pages come later.
class CWizard : public QDialog
{
    Q_OBJECT
public:
    CWizard();

    int exec() override;

    QString browserPath() const;
    QString mailerCommand() const;

    static bool isRunnableFile(const QString& path);

private:
    QLineEdit* browserEdit;
    QLineEdit* mailerEdit;
};
