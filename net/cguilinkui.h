#pragma once

#include "net/core/clinkui.h"

// The link's desktop face: the application-wide wait cursor and parentless
// critical message boxes.
class CGuiLinkUi : public CLinkUi
{
public:
    void setWaitCursor() override;
    void restoreCursor() override;
    void critical(const QString& caption, const QString& text) override;
};
