#pragma once

#include <QLabel>

class QMovie;

// The 230x33 sponsor banner: plays "ad.gif" from the data directory.
class CBanner : public QLabel
{
    Q_OBJECT
public:
    explicit CBanner(QWidget* parent = nullptr, const char* name = nullptr);

    QMovie* currentMovie() const { return movie; }

public slots:
    void slotChangeBanner();

signals:
    void bannerClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QMovie* movie = nullptr;
};
