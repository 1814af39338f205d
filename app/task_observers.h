#pragma once
// Turn a task's start, progress and result into the dialog's private
// messages. They post to the window handle taken when the task started, so a
// task that outlives the dialog only sees its posts fail.
#include "framework/framework.h"
#include "logic/observer.h"

class CConnectionObserver : public IObserver {
public:
    explicit CConnectionObserver(HWND hWnd) : m_hWnd(hWnd) {}
    void OnStart() override;
    void OnProgress(int percent) override;
    void OnFinish(int result) override;

    HWND m_hWnd;
};

class CUpdateObserver : public IObserver {
public:
    explicit CUpdateObserver(HWND hWnd) : m_hWnd(hWnd) {}
    void OnStart() override;
    void OnProgress(int percent) override;
    void OnFinish(int result) override;

    HWND m_hWnd;
};

// The bar position for the logic's percentage: 0..100 becomes 10..60.
int UpdateProgressPosition(int percent);
