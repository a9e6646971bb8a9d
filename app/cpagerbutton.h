#pragma once

#include <QAbstractButton>
#include <QPixmap>

// An image button of a skin: shows its normal picture, and its pressed
// picture while held down. Nothing else is drawn.
class CPagerButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit CPagerButton(QWidget* parent = nullptr, const char* name = nullptr);
    CPagerButton(const QPixmap& normal, const QPixmap& pressed, QWidget* parent = nullptr,
                 const char* name = nullptr);

    // The button keeps its own copies, so a discarded skin can never leave
    // it drawing a freed image.
    void setPixmaps(const QPixmap& normal, const QPixmap& pressed);
    const QPixmap& shownPixmap() const { return shown; }
    QSize sizeHint() const override;

public slots:
    void slotPressed();
    void slotReleased();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap normalPixmap;
    QPixmap pressedPixmap;
    QPixmap shown;
};
