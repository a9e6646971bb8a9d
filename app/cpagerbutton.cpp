#include "app/cpagerbutton.h"

#include <QPainter>

CPagerButton::CPagerButton(QWidget* parent, const char* name) : QAbstractButton(parent)
{
    if (name)
        setObjectName(QLatin1String(name));
    connect(this, &QAbstractButton::pressed, this, &CPagerButton::slotPressed);
    connect(this, &QAbstractButton::released, this, &CPagerButton::slotReleased);
}

CPagerButton::CPagerButton(const QPixmap& normal, const QPixmap& pressed, QWidget* parent,
                           const char* name)
    : CPagerButton(parent, name)
{
    setPixmaps(normal, pressed);
}

void CPagerButton::setPixmaps(const QPixmap& normal, const QPixmap& pressed)
{
    normalPixmap = normal;
    pressedPixmap = pressed;
    shown = normalPixmap;
    update();
}

QSize CPagerButton::sizeHint() const
{
    return shown.isNull() ? QSize(16, 16) : shown.size();
}

void CPagerButton::slotPressed()
{
    if (pressedPixmap.isNull())
        return;
    shown = pressedPixmap;
    update();
}

void CPagerButton::slotReleased()
{
    if (normalPixmap.isNull())
        return;
    shown = normalPixmap;
    update();
}

void CPagerButton::paintEvent(QPaintEvent*)
{
    if (shown.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, shown);
}
