#include "inventory/netinventory.h"

CNetInventory::CNetInventory(CWWWServer* server, CConfig* config, QWidget* parent)
    : QWidget(parent), m_server(server), m_config(config)
{
}

void CNetInventory::slotLoadVulnTree() {}

void CNetInventory::processVulns() {}
