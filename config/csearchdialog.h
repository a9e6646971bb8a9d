#pragma once

#include <QDialog>

class QLineEdit;

// The words to search the provider's site for; read `searchEdit` after
// the dialog was accepted.
class CSearchDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CSearchDialog(QWidget* parent = nullptr, const char* name = nullptr);

    QLineEdit* searchEdit;
};
