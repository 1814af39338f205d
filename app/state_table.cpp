#include "app/state_table.h"

#include "logic/device_info.h"
#include "res/resource.h"

namespace {
constexpr int kUnchanged = -1;
constexpr StatePresentation kRows[kStateCount] = {
    /* STATE_NO_DEVICE        */ {true, false, IDS_MSG_NO_DEVICE, 0},
    /* STATE_CHECKING         */ {true, false, IDS_MSG_CHECKING, 0},
    /* STATE_UPDATE_AVAILABLE */ {true, true, IDS_MSG_READY, 0},
    /* STATE_UP_TO_DATE       */ {true, false, IDS_MSG_UP_TO_DATE, kUnchanged},
    /* STATE_UPDATING         */ {false, false, IDS_MSG_UPDATING, kUnchanged},
    /* STATE_WAIT_DISCONNECT  */ {false, false, 0, kUnchanged},
    /* STATE_COMPLETED        */ {true, false, IDS_MSG_COMPLETED, 100},
    /* STATE_FAILED           */ {true, false, 0, kUnchanged},
};
}  // namespace

const StatePresentation* PresentationOf(UpdateState state) {
    return state < kStateCount ? &kRows[state] : nullptr;
}

UpdateState StateForCheckResult(int code) {
    switch (code) {
        case CHECK_CHECKING: return STATE_CHECKING;
        case CHECK_UPDATE_NEEDED: return STATE_UPDATE_AVAILABLE;
        case CHECK_UP_TO_DATE: return STATE_UP_TO_DATE;
        default: return STATE_NO_DEVICE;
    }
}
