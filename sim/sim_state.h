/* The list of simulated devices that printer_sim.py keeps in the prefix.
 * Both replacement DLLs read it afresh whenever they need it, so a device
 * that the simulator unplugs or replugs shows at the next enumeration. */
#pragma once
#include <windows.h>

#define SIM_MAX_DEVICES 16
#define SIM_MAX_PIPES 8
#define SIM_PATH_CHARS 260

typedef struct SimPipe {
    UCHAR id;
    UCHAR type; /* USBD_PIPE_TYPE: 0 control, 1 isochronous, 2 bulk, 3 interrupt */
} SimPipe;

typedef struct SimDevice {
    WCHAR path[SIM_PATH_CHARS];
    int pipeCount;
    SimPipe pipes[SIM_MAX_PIPES];
} SimDevice;

typedef struct SimState {
    int count;
    SimDevice devices[SIM_MAX_DEVICES];
} SimState;

/* Folder that holds the state file and the logs: %LMX_SIM_DIR% or C:\lmxsim. */
void SimDirectory(WCHAR* out, DWORD chars);

/* Reads the device list; a missing or unreadable file means no device. */
void SimReadState(SimState* state);

/* The entry for a device path (exact match), or NULL. */
const SimDevice* SimFindDevice(const SimState* state, const WCHAR* path);
