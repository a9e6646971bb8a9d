#pragma once

#include <QDialog>

class QLineEdit;

// Asks for a custom category's name and its comma-separated keywords.
class CCustomDialog : public QDialog
{
public:
    CCustomDialog(const QString& name, const QString& keywords, QWidget* parent = nullptr);

    QString name() const;
    QString keywords() const;

    void accept() override;

private:
    QLineEdit* m_name;
    QLineEdit* m_keywords;
};
