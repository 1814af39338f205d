#pragma once
#include <string>
#include <vector>

#include "logic/observer.h"

// Keeps every call it receives, in order, as text: "start", "progress 33", "finish 1".
class RecordingObserver : public IObserver {
public:
    void OnStart() override { calls.push_back("start"); }
    void OnProgress(int percent) override { calls.push_back("progress " + std::to_string(percent)); }
    void OnFinish(int result) override { calls.push_back("finish " + std::to_string(result)); }
    std::vector<std::string> calls;
};
