#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

// How vulnerabilities that touch the inventory are announced: pop-up and
// the two e-mails, with their recipients and the mailer command line.
class CInventoryOptions : public QWidget
{
    Q_OBJECT
public:
    explicit CInventoryOptions(QWidget* parent = nullptr);

    void setValues(const QString& verboseTo, const QString& briefTo, const QString& mailer,
                   bool popup, bool verbose, bool brief);

    bool popupWindow() const;
    bool verboseNotify() const;
    bool briefNotify() const;
    QString verboseRecipients() const;
    QString briefRecipients() const;
    QString mailer() const;

    QLineEdit* verboseEdit;
    QLineEdit* briefEdit;
    QLineEdit* mailerEdit;
    QCheckBox* verboseBox;
    QCheckBox* briefBox;
    QCheckBox* vulnPopupBox;

public slots:
    void slotVerboseToggle(bool on);
    void slotBriefToggle(bool on);
    void slotChooseMailer();
};
