#pragma once

class CSkin;

// What the controller asks of the window it sits in when the user picks a
// look; the main window implements it, so the controller need not know it.
class CLookHost
{
public:
    virtual ~CLookHost() = default;
    // False when the skin cannot be used; the window keeps its look then.
    virtual bool applySkin(const CSkin& skin) = 0;
    virtual void applyPlainLook() = 0;
};
