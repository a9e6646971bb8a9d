#pragma once

#include "config/core/notifyoptions.h"

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

// The general options page: article count, poll interval, browser,
// new-content notification, skin and restart-on-configuration.
class COptions : public QWidget
{
    Q_OBJECT
public:
    explicit COptions(QWidget* parent = nullptr);

    void fillSkinList();
    void selectSkin(const QString& name);
    void setValues(int numItems, int pollMinutes, const QString& browser, bool flash, bool popup,
                   bool restart);

    int numItems() const { return m_numItems; }
    int pollMinutes() const { return m_pollMinutes; }
    QString browserPath() const;
    bool flashIcon() const;
    bool popupWindow() const;
    bool restartOnConfig() const;
    // Kept in its own file, not in the settings file's fixed lines.
    DesktopNotices desktopNotices() const;
    void setDesktopNotices(DesktopNotices mode);
    QString skinName() const;
    QString skinPath() const;
    QStringList skinNames() const;
    // The current entry of the skin list, for putting it back exactly.
    int skinIndex() const;
    void setSkinIndex(int index);

public slots:
    void slotNumItems(int count);
    void slotPollInterval(int minutes);
    void slotChooseBrowser();
    void slotSkinChange(int index);

private:
    int m_numItems = 5;
    int m_pollMinutes = 15;
    QLabel* articleLabel;
    QLabel* intervalLabel;
    QLineEdit* browserEdit;
    QCheckBox* flashBox;
    QCheckBox* popupBox;
    QCheckBox* restartBox;
    QComboBox* m_noticeCombo;
    QSlider* articleSlider;
    QSlider* intervalSlider;
    QComboBox* skinCombo;
    QStringList skinPaths;
};
