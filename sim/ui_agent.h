/* Test-only observer that runs inside the updater's process (the setupapi
 * stand-in is loaded there). Started only when LMX_SIM_AGENT names a file:
 * it appends a JSON line to that file whenever what the dialog shows
 * changes, including the Close command's state, which another process
 * cannot read under Wine. */
#pragma once

void UiAgentStartIfAsked(void);
