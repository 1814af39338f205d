#pragma once
// What each display state shows: the Close command, the start button, the
// message text and the progress bar, in the order they are set.
#include "framework/platform_headers.h"

#include "app/update_messages.h"

struct StatePresentation {
    bool closeEnabled;
    bool buttonEnabled;
    UINT messageId;  // 0: the message stays as it is
    int progress;    // -1: the bar stays where it is
};

constexpr int kStateCount = 8;

// The row for `state`, or null above STATE_FAILED.
const StatePresentation* PresentationOf(UpdateState state);

// The state a check result code leads to: anything unknown means no printer.
UpdateState StateForCheckResult(int code);
