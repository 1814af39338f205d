#include "logic/firmware_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "logic/device_info.h"
#include "tests/support/recording_observer.h"
#include "tests/support/scripted_link.h"

namespace {

using Events = std::vector<std::string>;

Bytes ImageBytes(const FirmwareImage& image) { return Bytes(image.bytes, image.bytes + kFirmwareSize); }

// The image bytes carried behind the headers of the data packets, in order.
Bytes StreamedImage(const LinkScript& script) {
    Bytes image;
    for (const Bytes& packet : script.writes)
        if (packet.size() >= 5 && packet[0] == 0x90 && packet[1] == 0x62) image.insert(image.end(), packet.begin() + 5, packet.end());
    return image;
}

TEST(FirmwareImages, AreDistinctAndNotConstant) {
    const Bytes a = ImageBytes(kFirmwareImageA);
    const Bytes b = ImageBytes(kFirmwareImageB);
    EXPECT_NE(a, b);
    EXPECT_NE(std::count(a.begin(), a.end(), a[0]), static_cast<long>(a.size()));
    EXPECT_NE(std::count(b.begin(), b.end(), b[0]), static_cast<long>(b.size()));
}

struct ModelCase {
    const char* name;
    std::uint16_t model;
    std::uint16_t version;
    const FirmwareImage* image;
};

class WholeUpdate : public ::testing::TestWithParam<ModelCase> {};

TEST_P(WholeUpdate, SendsEveryPacketInOrderWithTheModelsImage) {
    const ModelCase& c = GetParam();
    LinkScript script;
    script.reads = UpdatingPrinter(c.model, c.version);
    ScopedScriptedLinks links(script);
    RecordingObserver observer;

    EXPECT_EQ(UpdateFirmware(&observer), 1);

    ASSERT_EQ(script.writes.size(), 6u);
    EXPECT_EQ(script.writes[0], (Bytes{0x1B, 0x49, 0x00, 0x00, 0x00}));
    const Bytes begin = {0x90, 0x69, 0x01, 0x00, 0x0C,
                         static_cast<std::uint8_t>(c.model >> 8), static_cast<std::uint8_t>(c.model),
                         static_cast<std::uint8_t>(c.version >> 8), static_cast<std::uint8_t>(c.version),
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00};
    EXPECT_EQ(script.writes[1], begin);
    for (int i = 2; i <= 4; ++i) {
        ASSERT_EQ(script.writes[i].size(), 65540u) << "packet " << i;
        EXPECT_EQ(Bytes(script.writes[i].begin(), script.writes[i].begin() + 5), (Bytes{0x90, 0x62, 0x01, 0xFF, 0xFF}));
    }
    ASSERT_EQ(script.writes[5].size(), 8u);
    EXPECT_EQ(Bytes(script.writes[5].begin(), script.writes[5].begin() + 5), (Bytes{0x90, 0x62, 0x01, 0x00, 0x03}));
    EXPECT_TRUE(StreamedImage(script) == ImageBytes(*c.image)) << "the streamed bytes are not the model's image";

    EXPECT_EQ(script.readRequests, (std::vector<std::uint32_t>{5, 4, 5, 5, 5, 5, 5}));
    EXPECT_EQ(script.events, (Events{"create", "open", "write", "read", "read", "write", "read", "write", "read",
                                     "write", "read", "write", "read", "write", "read", "close", "destroy"}));
    EXPECT_EQ(observer.calls, (Events{"progress 33", "progress 66", "progress 100"}));
}

INSTANTIATE_TEST_SUITE_P(Models, WholeUpdate,
                         ::testing::Values(ModelCase{"ModelA", 0x0180, 0x2500, &kFirmwareImageA},
                                           ModelCase{"ModelB", 0x0181, 0x18D0, &kFirmwareImageB},
                                           ModelCase{"ModelAAlreadyCurrent", 0x0180, 0x2510, &kFirmwareImageA}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TransferFirmware, BeginPayloadForModelAAt0x2500) {
    LinkScript script;
    ScriptedLink link(script);
    RecordingObserver observer;

    EXPECT_EQ(TransferFirmware(MODEL_A, link, &kFirmwareImageA, 0x2500, &observer), 1);
    ASSERT_FALSE(script.writes.empty());
    EXPECT_EQ(Bytes(script.writes[0].begin() + 5, script.writes[0].end()),
              (Bytes{0x01, 0x80, 0x25, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00}));
}

// A link error at transfer call k of a whole update (call 0 is the
// information request, 1 and 2 its reads, 3 the begin packet, ...).
struct ErrorCase {
    const char* name;
    int throwAt;
    std::size_t writesDone;
    Events observerCalls;
    Events tail;  // the last events: how the link was let go
};

class UpdateLinkError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(UpdateLinkError, StopsAtOnceAndLetsTheLinkGo) {
    const ErrorCase& c = GetParam();
    LinkScript script;
    script.reads = UpdatingPrinter(MODEL_A, 0x2500);
    script.throwAtTransfer = c.throwAt;
    ScopedScriptedLinks links(script);
    RecordingObserver observer;

    EXPECT_EQ(UpdateFirmware(&observer), 0);
    EXPECT_EQ(script.writes.size(), c.writesDone);
    EXPECT_EQ(observer.calls, c.observerCalls);
    EXPECT_EQ(script.transfers, c.throwAt + 1) << "a call followed the error";
    ASSERT_GE(script.events.size(), c.tail.size());
    EXPECT_EQ(Events(script.events.end() - c.tail.size(), script.events.end()), c.tail);
    EXPECT_EQ(script.Count("close"), 1);
    EXPECT_EQ(script.Count("destroy"), 1);
}

const Events kCloseThenDestroy = {"close", "destroy"};

INSTANTIATE_TEST_SUITE_P(
    EachStep, UpdateLinkError,
    ::testing::Values(ErrorCase{"InformationRequest", 0, 0, {}, {"write", "close", "destroy"}},
                      ErrorCase{"InformationHeader", 1, 1, {}, {"read", "close", "destroy"}},
                      ErrorCase{"InformationPayload", 2, 1, {}, {"read", "read", "close", "destroy"}},
                      ErrorCase{"BeginPacket", 3, 1, {}, kCloseThenDestroy},
                      ErrorCase{"BeginReply", 4, 2, {}, kCloseThenDestroy},
                      ErrorCase{"FirstDataPacket", 5, 2, {}, kCloseThenDestroy},
                      ErrorCase{"FirstDataReply", 6, 3, {}, kCloseThenDestroy},
                      ErrorCase{"SecondDataPacket", 7, 3, {"progress 33"}, kCloseThenDestroy},
                      ErrorCase{"SecondDataReply", 8, 4, {"progress 33"}, kCloseThenDestroy},
                      ErrorCase{"ThirdDataPacket", 9, 4, {"progress 33", "progress 66"}, kCloseThenDestroy},
                      ErrorCase{"ThirdDataReply", 10, 5, {"progress 33", "progress 66"}, kCloseThenDestroy},
                      ErrorCase{"FinalDataPacket", 11, 5, {"progress 33", "progress 66", "progress 100"},
                                kCloseThenDestroy},
                      ErrorCase{"FinalDataReply", 12, 6, {"progress 33", "progress 66", "progress 100"},
                                kCloseThenDestroy}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    int openResult;
    std::deque<Bytes> reads;
    Events events;
};

class UpdateRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(UpdateRefused, WritesNoUpdatePacket) {
    const RefusedCase& c = GetParam();
    LinkScript script;
    script.openResult = c.openResult;
    script.reads = c.reads;
    ScopedScriptedLinks links(script);
    RecordingObserver observer;

    EXPECT_EQ(UpdateFirmware(&observer), 0);
    EXPECT_EQ(script.events, c.events);
    EXPECT_TRUE(observer.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UpdateRefused,
    ::testing::Values(
        RefusedCase{"NoPrinter", 0, {}, {"create", "open", "close", "destroy"}},
        RefusedCase{"UnknownModel", 1, InfoReply(0x0182, 0x0001),
                    {"create", "open", "write", "read", "read", "destroy"}},
        RefusedCase{"EmptyPayload", 1, {{0x1B, 0x49, 0x00, 0x00, 0x00}}, {"create", "open", "write", "read", "destroy"}},
        RefusedCase{"MalformedPayload", 1, {{0, 0, 0, 0x00, 0x02}, {0x01, 0x80}},
                    {"create", "open", "write", "read", "close", "destroy"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
