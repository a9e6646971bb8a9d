#pragma once

#include "pager/clookhost.h"

#include <QPixmap>
#include <QVector>
#include <QWidget>

class CBanner;
class CPager;
class CPagerButton;
class CSkin;
class QPushButton;
class QSystemTrayIcon;

// The one top-level window: the controller's pane, the plain button bar or
// a skin's image buttons, and the sponsor banner.
class CMain : public QWidget, public CLookHost
{
    Q_OBJECT
public:
    CMain();

    bool applySkin(const CSkin& skin) override;
    void applyPlainLook() override;

    CPager* pager;
    CPagerButton* configButton;
    CPagerButton* searchButton;
    CPagerButton* updateButton;
    CPagerButton* minimizeButton;
    CPagerButton* exitButton;
    CPagerButton* helpButton;
    QWidget* plainButtonBar;
    CBanner* banner;

    // Null where the desktop has no tray.
    QSystemTrayIcon* trayIcon() const { return m_tray; }

public slots:
    void slotChangeIcon(bool normal);
    void slotNewHeadlineCount(int count);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void connectBanner();
    void createTrayIcon();

    QPoint dragAnchor;
    QWidget* logoWidget = nullptr;
    bool ready = false;
    bool bannerWired = false;
    bool skinned = false; // the skinned look is shown
    QSystemTrayIcon* m_tray = nullptr;
};

extern CMain* mainWindow; // the one main window
