#include "net/cguilinkui.h"

#include <QApplication>
#include <QMessageBox>

void CGuiLinkUi::setWaitCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CGuiLinkUi::restoreCursor()
{
    QApplication::restoreOverrideCursor();
}

void CGuiLinkUi::critical(const QString& caption, const QString& text)
{
    QMessageBox::critical(nullptr, caption, text, QMessageBox::Ok);
}
