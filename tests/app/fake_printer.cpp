#include "tests/app/fake_printer.h"

#include <cstring>
#include <deque>
#include <vector>

#include "framework/cstring.h"

namespace {

using Bytes = std::vector<unsigned char>;

class FakePrinterLink : public ICommunicationBase {
public:
    explicit FakePrinterLink(FakePrinterState& printer) : m_printer(printer) {}
    ~FakePrinterLink() override { Close(); }

    int Open() override {
        const int number = ++m_printer.opens;
        if (number >= m_printer.gateFromOpen) ::WaitForSingleObject(m_printer.openGate, 60000);
        if (!m_printer.present) return 0;
        m_open = true;
        const int now = ++m_printer.openLinks;
        int most = m_printer.mostOpenLinks;
        while (now > most && !m_printer.mostOpenLinks.compare_exchange_weak(most, now)) {
        }
        return 1;
    }
    void Close() override {
        if (m_open) --m_printer.openLinks;
        m_open = false;
    }
    int Read(unsigned char* buffer, std::uint32_t length) override {
        if (m_replies.empty()) return 0;
        const Bytes reply = m_replies.front();
        m_replies.pop_front();
        const std::uint32_t count = reply.size() < length ? static_cast<std::uint32_t>(reply.size()) : length;
        std::memcpy(buffer, reply.data(), count);
        return static_cast<int>(count);
    }
    int ReadPoll(unsigned char*, std::uint32_t) override { return 0; }
    int Write(const unsigned char* data, std::uint32_t length) override {
        if (m_writes++ == m_printer.failAtWrite) throw CString(u"WinUsb_WritePipe Failed\r\n");
        if (length >= 2 && data[0] == 0x1B && data[1] == 'I') {
            const std::uint16_t model = m_printer.model;
            const std::uint16_t version = m_printer.version;
            m_replies.push_back(Bytes{0x1B, 'I', 0, 0, 4});
            m_replies.push_back(Bytes{static_cast<unsigned char>(model >> 8), static_cast<unsigned char>(model),
                                      static_cast<unsigned char>(version >> 8), static_cast<unsigned char>(version)});
        } else {
            if (m_writes == 2) ++m_printer.updateBegins;
            m_replies.push_back(Bytes{0x90, 0, 0, 0, 0});
        }
        return static_cast<int>(length);
    }
    void SetTimeouts(std::uint32_t, std::uint32_t) override {}

private:
    FakePrinterState& m_printer;
    std::deque<Bytes> m_replies;
    int m_writes = 0;
    bool m_open = false;
};

}  // namespace

std::unique_ptr<ICommunicationBase> MakeFakePrinterLink(FakePrinterState& printer) {
    return std::make_unique<FakePrinterLink>(printer);
}
