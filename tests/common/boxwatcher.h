#pragma once

// Answers modal windows of the program under test as they appear, the way a
// user would: message boxes are recorded ("caption|text") and closed with
// their default button; any other modal window is handed to `other` (or
// rejected when there is none). Windows given to ignore() are left alone.

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>

// The message boxes on the screen now, for tests that look at them rather
// than answer them.
inline QList<QMessageBox*> shownMessageBoxes()
{
    QList<QMessageBox*> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            shown << box;
    return shown;
}

class BoxWatcher : public QObject
{
public:
    explicit BoxWatcher(std::function<void(QWidget*)> other = {}) : m_other(std::move(other))
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxWatcher::look);
        m_timer.start(20);
    }

    void ignore(QWidget* window) { m_ignored.insert(window); }

    QStringList boxes; // "caption|text" of each message box, in order
    // Texts of the buttons to press on the next message boxes, in order;
    // a box with no answer left gets its default button.
    QStringList answers;

private:
    void look()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || m_ignored.contains(w) || !w->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            boxes << box->windowTitle() + u'|' + box->text();
            QPushButton* button = box->defaultButton();
            if (!answers.isEmpty()) {
                const QString wanted = answers.takeFirst();
                for (QAbstractButton* b : box->buttons()) {
                    if (b->text() == wanted)
                        button = qobject_cast<QPushButton*>(b);
                }
            }
            if (button)
                button->click();
            else
                box->done(0);
            return;
        }
        if (m_other)
            m_other(w);
        else if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
    }

    QTimer m_timer;
    QSet<QWidget*> m_ignored;
    std::function<void(QWidget*)> m_other;
};
