// How much the update logic costs on top of moving the image's bytes: one
// whole UpdateFirmware against a link that lives in memory, next to a plain
// copy of the same 196,608 bytes, and the heap bytes one update allocates.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "link/link_factory.h"
#include "logic/device_info.h"
#include "logic/firmware_transfer.h"

namespace {

std::atomic<std::size_t> g_allocatedBytes{0};

// A printer in memory: takes every packet into a sink, answers the
// information request for a model A on an old firmware, and every other
// packet with a 5-byte reply.
class InMemoryPrinter : public ICommunicationBase {
public:
    explicit InMemoryPrinter(std::vector<unsigned char>& sink) : m_sink(sink) {}
    int Open() override { return 1; }
    void Close() override {}
    int Read(unsigned char* buffer, std::uint32_t length) override {
        static const unsigned char kInfo[] = {0x1B, 0x49, 0x00, 0x00, 0x04, 0x01, 0x80, 0x24, 0x00};
        const unsigned char* from = m_readsServed == 0 ? kInfo : m_readsServed == 1 ? kInfo + 5 : kInfo;
        std::memcpy(buffer, from, length);
        ++m_readsServed;
        return static_cast<int>(length);
    }
    int ReadPoll(unsigned char*, std::uint32_t) override { return 0; }
    int Write(const unsigned char* data, std::uint32_t length) override {
        std::memcpy(m_sink.data() + m_written % (m_sink.size() - 65540), data, length);
        m_written += length;
        return static_cast<int>(length);
    }
    void SetTimeouts(std::uint32_t, std::uint32_t) override {}

private:
    std::vector<unsigned char>& m_sink;
    std::size_t m_written = 0;
    int m_readsServed = 0;
};

class NullObserver : public IObserver {
public:
    void OnStart() override {}
    void OnProgress(int percent) override { benchmark::DoNotOptimize(percent); }
    void OnFinish(int) override {}
};

void BM_UpdateFirmware(benchmark::State& state) {
    std::vector<unsigned char> sink(kFirmwareSize + 2 * 65540);
    LinkFactory previous = SetLinkFactory([&sink] { return std::make_unique<InMemoryPrinter>(sink); });
    NullObserver observer;
    std::size_t allocated = 0;
    for (auto _ : state) {
        const std::size_t before = g_allocatedBytes.load();
        benchmark::DoNotOptimize(UpdateFirmware(&observer));
        allocated = g_allocatedBytes.load() - before;
    }
    SetLinkFactory(previous);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFirmwareSize);
    state.counters["bytes_allocated_per_update"] = static_cast<double>(allocated);
}
BENCHMARK(BM_UpdateFirmware);

void BM_PlainCopyOfOneImage(benchmark::State& state) {
    std::vector<unsigned char> sink(kFirmwareSize);
    for (auto _ : state) {
        std::memcpy(sink.data(), kFirmwareImageA.bytes, kFirmwareSize);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFirmwareSize);
}
BENCHMARK(BM_PlainCopyOfOneImage);

// Prints the ratio of the two next to the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_name.function_name == "BM_UpdateFirmware") m_update = run.GetAdjustedRealTime();
            if (run.run_name.function_name == "BM_PlainCopyOfOneImage") m_copy = run.GetAdjustedRealTime();
            auto found = run.counters.find("bytes_allocated_per_update");
            if (found != run.counters.end()) m_allocated = found->second.value;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (m_update > 0 && m_copy > 0)
            std::printf("\nupdate / plain copy: %.2f (%.0f ns / %.0f ns); bytes allocated per update: %.0f\n",
                        m_update / m_copy, m_update, m_copy, m_allocated);
    }

private:
    double m_update = 0, m_copy = 0, m_allocated = 0;
};

}  // namespace

void* operator new(std::size_t size) {
    g_allocatedBytes += size;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
