#include "app/cmain.h"

#include "app/cbanner.h"
#include "app/core/cskin.h"
#include "app/cpagerbutton.h"
#include "net/core/cwwwserver.h"
#include "pager/core/browserurl.h"
#include "pager/core/globals.h"
#include "pager/cpager.h"
#include "pager/icons.h"
#include "pager/navigate.h"
#include "pager/x11hints.h"

#include <QApplication>
#include <QBitmap>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSystemTrayIcon>

CMain* mainWindow = nullptr;

CMain::CMain() : QWidget(nullptr, Qt::Window)
{
    dragAnchor = QPoint(0, 0);
    ready = false;
    mainWindow = this;

    pager = new CPager(this);
    pager->lookHost = this;

    updateButton = new CPagerButton(this);
    configButton = new CPagerButton(this);
    searchButton = new CPagerButton(this);
    minimizeButton = new CPagerButton(this);
    exitButton = new CPagerButton(this);
    helpButton = new CPagerButton(this);

    plainButtonBar = new QWidget(this);
    plainButtonBar->hide();
    auto* bar = new QHBoxLayout(plainButtonBar);
    auto* config = new QPushButton(QStringLiteral("&Config"), plainButtonBar);
    auto* search = new QPushButton(QStringLiteral("&Search"), plainButtonBar);
    auto* update = new QPushButton(QStringLiteral("&Update"), plainButtonBar);
    auto* help = new QPushButton(QStringLiteral("&Help"), plainButtonBar);
    for (QPushButton* b : {config, search, update, help})
        bar->addWidget(b);
    connect(update, &QPushButton::clicked, pager, &CPager::slotUpdateContent);
    connect(config, &QPushButton::clicked, pager, &CPager::slotDoConfig);
    connect(search, &QPushButton::clicked, pager, &CPager::slotDoSearch);
    connect(help, &QPushButton::clicked, pager, &CPager::doHelp);

    updateButton->setToolTip(QStringLiteral("Manually request latest articles from Orvelle"));
    configButton->setToolTip(QStringLiteral("Configure the Orvelle Pager"));
    searchButton->setToolTip(QStringLiteral("Search the Orvelle web site"));
    minimizeButton->setToolTip(QStringLiteral("Minimize the pager"));
    exitButton->setToolTip(QStringLiteral("Close the pager"));
    helpButton->setToolTip(QStringLiteral("Read the pager documentation in your web browser"));

    connect(updateButton, &QAbstractButton::clicked, pager, &CPager::slotUpdateContent);
    connect(configButton, &QAbstractButton::clicked, pager, &CPager::slotDoConfig);
    connect(searchButton, &QAbstractButton::clicked, pager, &CPager::slotDoSearch);
    connect(minimizeButton, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(exitButton, &QAbstractButton::clicked, qApp, &QApplication::quit);
    connect(helpButton, &QAbstractButton::clicked, pager, &CPager::doHelp);
    connect(qApp, &QApplication::aboutToQuit, pager, &CPager::quit);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, pager,
            &CPager::slotUpdateContent);
    // The exit button's road: the state is saved on aboutToQuit.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, qApp,
            &QApplication::quit);

    setFocusPolicy(Qt::ClickFocus);
    setWindowIcon(normalWindowIcon());

    banner = new CBanner(this);
    banner->setToolTip(QStringLiteral("Double click to visit this sponsor"));

    ready = true;
    if (!pager->skin || !applySkin(*pager->skin)) {
        // A broken skin must not leave a window with neither look.
        if (pager->skin) {
            qWarning("The skin in %s cannot be used; showing the plain look",
                     qPrintable(pager->skin->getPath()));
            delete pager->skin;
            pager->skin = nullptr;
        }
        applyPlainLook();
    }
    connect(pager, &CPager::newIcon, this, &CMain::slotChangeIcon);
    createTrayIcon();
}

void CMain::createTrayIcon()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(this);
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("&Show"), pager, &CPager::slotShowList);
    menu->addAction(QStringLiteral("&Update"), pager, &CPager::slotUpdateContent);
    menu->addAction(QStringLiteral("&Quit"), qApp, &QApplication::quit);
    m_tray->setContextMenu(menu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick)
                    pager->slotShowList();
            });
    connect(pager, &CPager::newHeadlineCountChanged, this, &CMain::slotNewHeadlineCount);
    slotNewHeadlineCount(pager->newHeadlineCount());
    m_tray->show();
}

void CMain::slotNewHeadlineCount(int count)
{
    if (!m_tray)
        return;
    m_tray->setToolTip(count == 1 ? QStringLiteral("Orvelle Pager: 1 new headline")
                                  : QStringLiteral("Orvelle Pager: ") + QString::number(count) +
                                        QStringLiteral(" new headlines"));
    QPixmap image = normalWindowIcon().scaled(32, 32);
    if (count > 0) {
        // The count in a corner badge; more than 99 shows as "99+".
        const QString text = count > 99 ? QStringLiteral("99+") : QString::number(count);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QFont font = painter.font();
        font.setPixelSize(14);
        font.setBold(true);
        painter.setFont(font);
        const QRect badge(image.width() - 22, image.height() - 16, 22, 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(200, 0, 0));
        painter.drawRoundedRect(badge, 6, 6);
        painter.setPen(Qt::white);
        painter.drawText(badge, Qt::AlignCenter, text);
    }
    m_tray->setIcon(QIcon(image));
}

void CMain::slotChangeIcon(bool normal)
{
    setWindowIcon(normal ? normalWindowIcon() : alternateWindowIcon());
}

void CMain::connectBanner()
{
    banner->slotChangeBanner();
    banner->installEventFilter(this);
    // Both looks wire the banner; once is enough for the connections.
    if (bannerWired)
        return;
    bannerWired = true;
    connect(pager->server, &CWWWServer::newAdImage, banner, &CBanner::slotChangeBanner);
    connect(banner, &CBanner::bannerClicked, pager, &CPager::slotBannerNavigate);
}

void CMain::applyPlainLook()
{
    for (CPagerButton* b :
         {configButton, searchButton, updateButton, minimizeButton, exitButton, helpButton})
        b->hide();
    plainButtonBar->show();
    skinned = false;
    clearMask();
    setAutoFillBackground(false);
    setPalette(QPalette());
    connectBanner();
    setMotifDecorations(x11Display(), winId(), 1);
    // Never so small that the bar, the pane and the banner (placed 235 from
    // the right, 95 rows taken by bar and banner) run into each other.
    const QSize bar = plainButtonBar->minimumSizeHint();
    const QSize pane = pager->minimumSizeHint();
    setMinimumSize(qMax(qMax(bar.width(), pane.width()), 235), 95 + pane.height());
    // Lay out again for the current size; a window held smaller (there may be
    // no window manager to keep the floor) is cut off rather than crowded.
    const QSize s = size().expandedTo(minimumSize());
    pager->setGeometry(0, 50, s.width(), s.height() - 95);
    plainButtonBar->setGeometry(0, 0, s.width(), 50);
    banner->setGeometry(s.width() - 235, s.height() - 38, 230, 33);
}

bool CMain::applySkin(const CSkin& skin)
{
    if (!skin.isValid())
        return false;
    // Every picture is loaded before anything changes, so a skin with one
    // missing leaves the current look as it was.
    QVector<QPixmap> images;
    const QStringList paths = skin.imagePaths();
    for (int i = 0; i < paths.size(); ++i) {
        QPixmap image(paths.at(i));
        if (image.isNull()) {
            debugLine(QStringLiteral("Skin Load Failed: uh oh, could not load ") +
                      CSkin::imageNames().at(i));
            qWarning("Skin Load Failed: could not load %s", qPrintable(paths.at(i)));
            return false;
        }
        images.append(image);
    }

    plainButtonBar->hide();
    skinned = true;
    setMask(QBitmap::fromImage(images.at(1).toImage().convertToFormat(QImage::Format_Mono)));
    QPalette palette = this->palette();
    palette.setBrush(backgroundRole(), QBrush(images.at(0)));
    setPalette(palette);
    setAutoFillBackground(true);
    setMinimumSize(0, 0); // the plain look's floor is no skin's
    resize(images.at(0).size());
    pager->setGeometry(skin.getPaneRect());

    const struct
    {
        CPagerButton* button;
        int normal;
        QPoint at;
    } places[] = {{configButton, 8, skin.getConfig()},  {updateButton, 12, skin.getUpdate()},
                  {searchButton, 10, skin.getSearch()}, {minimizeButton, 4, skin.getMin()},
                  {exitButton, 6, skin.getExit()},      {helpButton, 2, skin.getHelp()}};
    for (const auto& p : places) {
        p.button->setPixmaps(images.at(p.normal), images.at(p.normal + 1));
        p.button->setGeometry(QRect(p.at, images.at(p.normal).size()));
        p.button->show();
    }
    banner->setGeometry(QRect(skin.getBanner(), QSize(230, 33)));
    connectBanner();
    setMotifDecorations(x11Display(), winId(), 0);
    return true;
}

bool CMain::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPointF inWindow = (widget ? QPointF(widget->pos()) : QPointF()) + me->position();
        QMouseEvent copy(me->type(), inWindow, me->globalPosition(), me->button(), me->buttons(),
                         me->modifiers());
        mousePressEvent(&copy);
        break;
    }
    case QEvent::MouseMove:
        mouseMoveEvent(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonRelease:
        mouseReleaseEvent(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonDblClick:
        if (watched && watched == logoWidget)
            navigateTo(homePageUrl(), true);
        break;
    default:
        break;
    }
    return false;
}

void CMain::mousePressEvent(QMouseEvent* event)
{
    grabMouse(Qt::PointingHandCursor);
    dragAnchor = event->position().toPoint();
    raise();
    pager->stopFlashing();
}

void CMain::mouseReleaseEvent(QMouseEvent*)
{
    releaseMouse();
}

void CMain::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton)
        return;
    move(event->globalPosition().toPoint() - dragAnchor);
}

void CMain::focusInEvent(QFocusEvent* event)
{
    pager->active = true;
    QWidget::focusInEvent(event);
}

void CMain::focusOutEvent(QFocusEvent* event)
{
    pager->active = false;
    QWidget::focusOutEvent(event);
}

void CMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A skin fixes every place; the resize it asks for may arrive later.
    if (!ready || skinned)
        return;
    const int w = qMax(event->size().width(), minimumWidth());
    const int h = qMax(event->size().height(), minimumHeight());
    pager->setGeometry(0, 50, w, h - 95);
    plainButtonBar->setGeometry(0, 0, w, 50);
    banner->setGeometry(w - 235, h - 38, 230, 33);
}

void CMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    pager->active = true;
    pager->stopFlashing();
}

void CMain::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    pager->active = false;
}
