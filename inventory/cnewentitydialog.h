#pragma once

#include <QDialog>

class QLineEdit;

// Asks for a profile's name.
class CNewEntityDialog : public QDialog
{
public:
    CNewEntityDialog(const QString& initial, QWidget* parent = nullptr, const char* name = nullptr);

    QString text() const;

    void accept() override;

private:
    QLineEdit* m_edit;
};
