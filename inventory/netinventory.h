#pragma once

#include <QWidget>

class CConfig;
class CWWWServer;

// The network inventory page: profiles of the user's vendors and products,
// matched against the vulnerability feed. This first form holds no
// profiles, so no vulnerability poll is made yet.
class CNetInventory : public QWidget
{
    Q_OBJECT
public:
    CNetInventory(CWWWServer* server, CConfig* config, QWidget* parent = nullptr);

    int profileCount() const { return 0; }
    int version() const { return m_version; }
    QString timestamp() const { return m_timestamp; }

public slots:
    void slotLoadVulnTree();
    // Reads "vulnpoll.dat" and announces what concerns the profiles.
    void processVulns();

private:
    CWWWServer* m_server;
    CConfig* m_config;
    int m_version = 0;
    QString m_timestamp = QStringLiteral("0");
};
