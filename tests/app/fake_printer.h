#pragma once
// A printer behind the link factory that several threads may use at once:
// it answers ESC 'I' with its model and version, acknowledges every update
// packet, can fail the transfer at a chosen packet, and can hold every Open
// until the test lets it go (so a task stays alive as long as a test needs).
#include "framework/platform_headers.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "link/communication_base.h"
#include "link/link_factory.h"
#include "logic/device_info.h"

struct FakePrinterState {
    std::atomic<bool> present{false};
    std::atomic<std::uint16_t> model{MODEL_A};
    std::atomic<std::uint16_t> version{0x2000};
    // Write index within one update link (0 info, 1 begin, 2..4 full data
    // packets, 5 the last one) at which the link error is thrown; -1: never.
    std::atomic<int> failAtWrite{-1};
    // Opens from this number on (counting from 1) wait for the gate; the
    // ones before go ahead even while it is closed.
    std::atomic<int> gateFromOpen{1};
    std::atomic<int> opens{0};
    std::atomic<int> updateBegins{0};  // begin packets written
    std::atomic<int> openLinks{0};     // opened and not closed yet
    std::atomic<int> mostOpenLinks{0};
    HANDLE openGate = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);  // set: Open goes ahead

    ~FakePrinterState() { ::CloseHandle(openGate); }
    void HoldOpens() { ::ResetEvent(openGate); }
    void ReleaseOpens() { ::SetEvent(openGate); }
};

std::unique_ptr<ICommunicationBase> MakeFakePrinterLink(FakePrinterState& printer);

// Routes every link to the printer for the lifetime of this object.
class ScopedFakePrinter {
public:
    ScopedFakePrinter() : m_previous(SetLinkFactory([this] { return MakeFakePrinterLink(state); })) {}
    ~ScopedFakePrinter() {
        state.ReleaseOpens();
        SetLinkFactory(m_previous);
    }
    ScopedFakePrinter(const ScopedFakePrinter&) = delete;
    ScopedFakePrinter& operator=(const ScopedFakePrinter&) = delete;

    FakePrinterState state;

private:
    LinkFactory m_previous;
};
