#pragma once
// How a running task reports its start, progress (0 to 100) and result.
// The update logic calls only OnProgress; the tasks call the other two.
class IObserver {
public:
    virtual ~IObserver() = 0;
    virtual void OnStart() = 0;
    virtual void OnProgress(int percent) = 0;
    virtual void OnFinish(int result) = 0;
};

inline IObserver::~IObserver() {}
