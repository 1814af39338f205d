#pragma once
// A link that plays a script instead of a printer: it records every write,
// serves the scripted reads (full, short or empty), throws the link's error
// text at a chosen transfer call and keeps count of Open, Close and
// destruction, in the order they happened.
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "framework/cstring.h"
#include "link/communication_base.h"
#include "link/link_factory.h"

using Bytes = std::vector<std::uint8_t>;

struct LinkScript {
    int openResult = 1;
    // One entry per Read: up to the requested length of it is delivered.
    // When the script runs out, a Read delivers nothing (count 0).
    std::deque<Bytes> reads;
    // Index among all Read and Write calls, counted across every link made
    // from this script, at which the call throws `error` instead; -1: never.
    int throwAtTransfer = -1;
    CString error = CString(u"WinUsb_ReadPipe Failed\r\n");
    // When set, Write reports this count instead of the full length.
    int writeCountOverride = -1;

    // What happened, across every link made from this script.
    std::vector<Bytes> writes;
    std::vector<std::uint32_t> readRequests;
    std::vector<std::string> events;  // "create", "open", "close", "write", "read", "destroy"
    int transfers = 0;

    int Count(const std::string& event) const {
        int n = 0;
        for (const auto& e : events) n += (e == event);
        return n;
    }
};

class ScriptedLink : public ICommunicationBase {
public:
    explicit ScriptedLink(LinkScript& script) : m_script(script) { m_script.events.push_back("create"); }
    ~ScriptedLink() override { m_script.events.push_back("destroy"); }

    int Open() override {
        m_script.events.push_back("open");
        return m_script.openResult;
    }
    void Close() override { m_script.events.push_back("close"); }

    int Read(unsigned char* buffer, std::uint32_t length) override {
        m_script.events.push_back("read");
        m_script.readRequests.push_back(length);
        ThrowIfScripted();
        if (m_script.reads.empty()) return 0;
        Bytes reply = std::move(m_script.reads.front());
        m_script.reads.pop_front();
        const std::uint32_t count = reply.size() < length ? static_cast<std::uint32_t>(reply.size()) : length;
        if (count != 0) std::memcpy(buffer, reply.data(), count);
        return static_cast<int>(count);
    }
    int ReadPoll(unsigned char*, std::uint32_t) override { return 0; }

    int Write(const unsigned char* data, std::uint32_t length) override {
        m_script.events.push_back("write");
        ThrowIfScripted();
        m_script.writes.emplace_back(data, data + length);
        return m_script.writeCountOverride >= 0 ? m_script.writeCountOverride : static_cast<int>(length);
    }
    void SetTimeouts(std::uint32_t, std::uint32_t) override {}

private:
    void ThrowIfScripted() {
        if (m_script.transfers++ == m_script.throwAtTransfer) throw m_script.error;
    }
    LinkScript& m_script;
};

// Routes every link the logic asks for to a ScriptedLink for the script,
// for the lifetime of this object.
class ScopedScriptedLinks {
public:
    explicit ScopedScriptedLinks(LinkScript& script)
        : m_previous(SetLinkFactory([&script] { return std::make_unique<ScriptedLink>(script); })) {}
    ~ScopedScriptedLinks() { SetLinkFactory(m_previous); }
    ScopedScriptedLinks(const ScopedScriptedLinks&) = delete;
    ScopedScriptedLinks& operator=(const ScopedScriptedLinks&) = delete;

private:
    LinkFactory m_previous;
};

// The reply of a printer to ESC 'I': a 5-byte header announcing the payload,
// then the payload (model code and version, big-endian, then `extra`).
inline std::deque<Bytes> InfoReply(std::uint16_t model, std::uint16_t version, Bytes extra = {}) {
    Bytes payload = {static_cast<std::uint8_t>(model >> 8), static_cast<std::uint8_t>(model),
                     static_cast<std::uint8_t>(version >> 8), static_cast<std::uint8_t>(version)};
    payload.insert(payload.end(), extra.begin(), extra.end());
    const auto length = static_cast<std::uint16_t>(payload.size());
    Bytes header = {0x1B, 0x49, 0x00, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
    return {header, payload};
}

// A printer that answers ESC 'I' and then each of the five update packets.
inline std::deque<Bytes> UpdatingPrinter(std::uint16_t model, std::uint16_t version) {
    std::deque<Bytes> reads = InfoReply(model, version);
    for (int i = 0; i < 5; ++i) reads.push_back(Bytes{0x90, 0x00, 0x00, 0x00, 0x00});
    return reads;
}
