// The search dialog: how it is submitted or left, and that it starts empty.
#include "config/csearchdialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestSearchDialog : public QObject
{
    Q_OBJECT
private slots:
    void ways_data();
    void ways();
    void looks();
};

void TestSearchDialog::ways_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");

    QTest::newRow("Return in the field") << "return" << int(QDialog::Accepted);
    QTest::newRow("Submit button") << "submit" << int(QDialog::Accepted);
    QTest::newRow("Cancel button") << "cancel" << int(QDialog::Rejected);
}

void TestSearchDialog::ways()
{
    QFETCH(QString, how);
    QFETCH(int, result);

    CSearchDialog dialog(nullptr, nullptr);
    QString typed;
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClicks(dialog.searchEdit, QStringLiteral("worm  alert"));
        typed = dialog.searchEdit->text();
        const auto buttons = dialog.findChildren<QPushButton*>();
        auto button = [&](const char* text) {
            for (QPushButton* b : buttons)
                if (b->text() == QLatin1String(text))
                    return b;
            return static_cast<QPushButton*>(nullptr);
        };
        if (how == "return")
            QTest::keyClick(dialog.searchEdit, Qt::Key_Return);
        else if (how == "submit")
            button("&Submit")->click();
        else
            button("&Cancel")->click();
    });
    QCOMPARE(dialog.exec(), result);
    QCOMPARE(typed, QStringLiteral("worm  alert"));
}

void TestSearchDialog::looks()
{
    CSearchDialog first(nullptr, nullptr);
    first.searchEdit->setText(QStringLiteral("left over"));
    CSearchDialog second(nullptr, nullptr);
    QVERIFY(second.searchEdit->text().isEmpty());
    QCOMPARE(second.windowTitle(), QStringLiteral("Search orvelle.example"));
    QCOMPARE(second.size(), QSize(350, 75));
    second.show();
    QVERIFY(QTest::qWaitForWindowActive(&second));
    QCOMPARE(QApplication::focusWidget(), second.searchEdit);
}

QTEST_MAIN(TestSearchDialog)
#include "tst_csearchdialog.moc"
