#include "logic/device_info.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_link.h"

namespace {

const Bytes kInfoRequest = {0x1B, 0x49, 0x00, 0x00, 0x00};

struct QueryCase {
    const char* name;
    std::deque<Bytes> reads;
    int throwAt;  // transfer index that throws, -1 for none
    int expectedResult;
    std::uint16_t expectedModel;    // 0xDEAD: outputs left as they were
    std::uint16_t expectedVersion;
    std::vector<std::uint32_t> expectedReads;
};

constexpr std::uint16_t kUntouched = 0xDEAD;

class QueryDeviceInfoReplies : public ::testing::TestWithParam<QueryCase> {};

TEST_P(QueryDeviceInfoReplies, ReadsModelAndVersionOnlyFromWhatArrived) {
    const QueryCase& c = GetParam();
    LinkScript script;
    script.reads = c.reads;
    script.throwAtTransfer = c.throwAt;
    ScriptedLink link(script);
    std::uint16_t model = kUntouched;
    std::uint16_t version = kUntouched;

    EXPECT_EQ(QueryDeviceInfo(link, model, version), c.expectedResult);
    EXPECT_EQ(model, c.expectedModel);
    EXPECT_EQ(version, c.expectedVersion);
    EXPECT_EQ(script.readRequests, c.expectedReads);
    if (c.throwAt != 0) {
        ASSERT_FALSE(script.writes.empty());
        EXPECT_EQ(script.writes[0], kInfoRequest);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, QueryDeviceInfoReplies,
    ::testing::Values(
        QueryCase{"ModelAndVersion", InfoReply(0x0180, 0x2500), -1, 1, 0x0180, 0x2500, {5, 4}},
        QueryCase{"ExtraBytesReadAndIgnored", InfoReply(0x0181, 0x18D0, {0xAA, 0xBB}), -1, 1, 0x0181, 0x18D0, {5, 6}},
        QueryCase{"HeaderBytesZeroToTwoNotExamined",
                  {{0xFF, 0xEE, 0xDD, 0x00, 0x04}, {0x01, 0x80, 0x12, 0x34}}, -1, 1, 0x0180, 0x1234, {5, 4}},
        QueryCase{"EmptyPayloadLeavesOutputs", {{0x1B, 0x49, 0x00, 0x00, 0x00}}, -1, 1, kUntouched, kUntouched, {5}},
        QueryCase{"ThreeByteHeaderCountsAsEmpty", {{0x1B, 0x49, 0x00}}, -1, 1, kUntouched, kUntouched, {5}},
        QueryCase{"NoReplyAtAllCountsAsEmpty", {}, -1, 1, kUntouched, kUntouched, {5}},
        QueryCase{"AnnouncedOneByteFails", {{0, 0, 0, 0x00, 0x01}, {0x01}}, -1, 0, kUntouched, kUntouched, {5}},
        QueryCase{"AnnouncedThreeBytesFails", {{0, 0, 0, 0x00, 0x03}, {0x01, 0x80, 0x25}}, -1, 0, kUntouched,
                  kUntouched, {5}},
        QueryCase{"PayloadShorterThanAnnouncedFails", {{0, 0, 0, 0x00, 0x04}, {0x01, 0x80, 0x25}}, -1, 0,
                  kUntouched, kUntouched, {5, 4}},
        QueryCase{"PayloadShortOfItsExtraBytesFails", {{0, 0, 0, 0x00, 0x08}, {0x01, 0x80, 0x25, 0x00, 0x11}}, -1, 0,
                  kUntouched, kUntouched, {5, 8}},
        QueryCase{"ErrorOnTheRequest", InfoReply(0x0180, 0x2500), 0, 0, kUntouched, kUntouched, {}},
        QueryCase{"ErrorOnTheHeader", InfoReply(0x0180, 0x2500), 1, 0, kUntouched, kUntouched, {5}},
        QueryCase{"ErrorOnThePayload", InfoReply(0x0180, 0x2500), 2, 0, kUntouched, kUntouched, {5, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PolicyCase {
    const char* name;
    int openResult;
    std::deque<Bytes> reads;
    int expected;
};

class VersionPolicy : public ::testing::TestWithParam<PolicyCase> {};

TEST_P(VersionPolicy, DecidesFromModelAndVersion) {
    const PolicyCase& c = GetParam();
    LinkScript script;
    script.openResult = c.openResult;
    script.reads = c.reads;
    ScopedScriptedLinks links(script);

    EXPECT_EQ(CheckFirmwareVersion(), c.expected);
    EXPECT_EQ(script.Count("create"), 1);
    EXPECT_EQ(script.Count("destroy"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, VersionPolicy,
    ::testing::Values(PolicyCase{"ModelABelowThreshold", 1, InfoReply(0x0180, 0x250F), CHECK_UPDATE_NEEDED},
                      PolicyCase{"ModelAAtThreshold", 1, InfoReply(0x0180, 0x2510), CHECK_UP_TO_DATE},
                      PolicyCase{"ModelAComparedUnsigned", 1, InfoReply(0x0180, 0x8000), CHECK_UP_TO_DATE},
                      PolicyCase{"ModelAVersionZero", 1, InfoReply(0x0180, 0x0000), CHECK_UPDATE_NEEDED},
                      PolicyCase{"ModelBBelowThreshold", 1, InfoReply(0x0181, 0x18D0), CHECK_UPDATE_NEEDED},
                      PolicyCase{"ModelBAtThreshold", 1, InfoReply(0x0181, 0x18D1), CHECK_UP_TO_DATE},
                      PolicyCase{"ModelBComparedUnsigned", 1, InfoReply(0x0181, 0xFFFF), CHECK_UP_TO_DATE},
                      PolicyCase{"UnknownModelNeverNeedsIt", 1, InfoReply(0x0182, 0x0001), CHECK_UP_TO_DATE},
                      PolicyCase{"EmptyPayload", 1, {{0x1B, 0x49, 0x00, 0x00, 0x00}}, CHECK_UP_TO_DATE},
                      PolicyCase{"MalformedPayload", 1, {{0, 0, 0, 0x00, 0x02}, {0x01, 0x80}}, CHECK_FAILED},
                      PolicyCase{"NoPrinter", 0, {}, CHECK_FAILED}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckConnection, ClosesOnlyWhatItOpened) {
    for (int openResult : {0, 1}) {
        LinkScript script;
        script.openResult = openResult;
        ScopedScriptedLinks links(script);

        EXPECT_EQ(CheckConnection(), openResult);
        const std::vector<std::string> expected =
            openResult == 1 ? std::vector<std::string>{"create", "open", "close", "destroy"}
                            : std::vector<std::string>{"create", "open", "destroy"};
        EXPECT_EQ(script.events, expected) << "open result " << openResult;
    }
}

TEST(ReadDeviceInfo, ClosesOnceAfterAFailedQueryAndKeepsTheOutputs) {
    LinkScript script;
    script.reads = InfoReply(0x0180, 0x2500);
    script.throwAtTransfer = 2;  // the payload read
    ScopedScriptedLinks links(script);
    std::uint16_t model = 7;
    std::uint16_t version = 9;

    EXPECT_EQ(ReadDeviceInfo(model, version), 0);
    EXPECT_EQ(model, 7);
    EXPECT_EQ(version, 9);
    EXPECT_EQ(script.events,
              (std::vector<std::string>{"create", "open", "write", "read", "read", "close", "destroy"}));
}

TEST(ReadDeviceInfo, WritesBothOutputsOnSuccess) {
    LinkScript script;
    script.reads = InfoReply(0x0181, 0x1234);
    ScopedScriptedLinks links(script);
    std::uint16_t model = 7;
    std::uint16_t version = 9;

    EXPECT_EQ(ReadDeviceInfo(model, version), 1);
    EXPECT_EQ(model, 0x0181);
    EXPECT_EQ(version, 0x1234);
    EXPECT_EQ(script.Count("close"), 1);
}

TEST(ReadDeviceInfo, EmptyPayloadGivesZeroes) {
    LinkScript script;
    script.reads = {{0x1B, 0x49, 0x00, 0x00, 0x00}};
    ScopedScriptedLinks links(script);
    std::uint16_t model = 7;
    std::uint16_t version = 9;

    EXPECT_EQ(ReadDeviceInfo(model, version), 1);
    EXPECT_EQ(model, 0);
    EXPECT_EQ(version, 0);
}

TEST(ReadDeviceInfo, NeverClosesAfterAFailedOpen) {
    LinkScript script;
    script.openResult = 0;
    ScopedScriptedLinks links(script);
    std::uint16_t model = 7;
    std::uint16_t version = 9;

    EXPECT_EQ(ReadDeviceInfo(model, version), 0);
    EXPECT_EQ(script.events, (std::vector<std::string>{"create", "open", "destroy"}));
    EXPECT_EQ(model, 7);
}

TEST(DeviceOperations, EachCallGetsAFreshLink) {
    LinkScript script;
    script.reads = InfoReply(0x0180, 0x2500);
    ScopedScriptedLinks links(script);

    CheckConnection();
    CheckFirmwareVersion();
    EXPECT_EQ(script.Count("create"), 2);
    EXPECT_EQ(script.Count("destroy"), 2);
}

}  // namespace
