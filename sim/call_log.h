/* A line per platform call the program makes into the replacement DLLs,
 * so a test can check the arguments the program passes. */
#pragma once

void SimLogCall(const char* format, ...);
