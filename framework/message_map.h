#pragma once
// Message maps: a static table per class, chained to the base class's table.
// Each entry carries a small typed thunk that calls the handler, so a handler
// with the wrong signature fails to compile instead of misbehaving at run time.
#include <type_traits>

#include "framework/platform_headers.h"

class CCmdTarget;

#define afx_msg

typedef LRESULT (*AFX_PMSG_INVOKE)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // window message; WM_COMMAND for command entries
    UINT nCode;      // notification code (WM_COMMAND only)
    UINT nID;        // first control/command id (WM_COMMAND only)
    UINT nLastID;    // last id of the range (WM_COMMAND only)
    AFX_PMSG_INVOKE pfnInvoke;  // null marks the end of the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Looks one message up in a map chain, most derived table first.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, WPARAM wParam);

namespace afx_detail {

template <class F> struct MemberOf;
template <class C, class R, class... A> struct MemberOf<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
};

template <auto F> LRESULT InvokeVoid(CCmdTarget* target, WPARAM, LPARAM) {
    using C = typename MemberOf<decltype(F)>::Class;
    static_assert(std::is_same_v<decltype(F), void (C::*)()>, "handler must be void fn()");
    (static_cast<C*>(target)->*F)();
    return 0;
}

template <auto F> LRESULT InvokeHandle(CCmdTarget* target, WPARAM, LPARAM) {
    using C = typename MemberOf<decltype(F)>::Class;
    static_assert(std::is_same_v<decltype(F), HCURSOR (C::*)()>, "handler must be HCURSOR fn()");
    return reinterpret_cast<LRESULT>((static_cast<C*>(target)->*F)());
}

template <auto F> LRESULT InvokeMessage(CCmdTarget* target, WPARAM wParam, LPARAM lParam) {
    using C = typename MemberOf<decltype(F)>::Class;
    static_assert(std::is_same_v<decltype(F), LRESULT (C::*)(WPARAM, LPARAM)>,
                  "handler must be LRESULT fn(WPARAM, LPARAM)");
    return (static_cast<C*>(target)->*F)(wParam, lParam);
}

}  // namespace afx_detail

// In the class body. Leaves the access at protected, as the class library does.
#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

// The table lives inside a static member function, so entries may name
// protected and private handlers of the class.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                   \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        typedef baseClass TheBaseClass;                                                 \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                     \
            { 0, 0, 0, 0, nullptr } };                                        \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, \
                                               &messageEntries[0] };          \
        return &messageMap;                                                   \
    }

#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, 0, &afx_detail::InvokeVoid<&ThisClass::OnPaint> },
#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, 0, &afx_detail::InvokeHandle<&ThisClass::OnQueryDragIcon> },
#define ON_MESSAGE(message, memberFn) \
    { static_cast<UINT>(message), 0, 0, 0, &afx_detail::InvokeMessage<memberFn> },
#define ON_COMMAND(id, memberFn) \
    { WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), &afx_detail::InvokeVoid<memberFn> },
#define ON_BN_CLICKED(id, memberFn) \
    { WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), static_cast<UINT>(id), &afx_detail::InvokeVoid<memberFn> },
