#pragma once
// The root of every class that can receive messages through a message map.
#include "framework/message_map.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget();

    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Runs the ON_COMMAND / ON_BN_CLICKED handler for (nID, nCode) if the map
    // chain has one; FALSE when nothing handled it.
    BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
};
