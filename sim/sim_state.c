#include "sim_state.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void SimDirectory(WCHAR* out, DWORD chars)
{
    DWORD n = GetEnvironmentVariableW(L"LMX_SIM_DIR", out, chars);
    if (n == 0 || n >= chars)
        lstrcpynW(out, L"C:\\lmxsim", (int)chars);
}

/* "81:2,02:2": pipe id and type in hex, comma separated. */
static void ParsePipes(const char* text, SimDevice* device)
{
    device->pipeCount = 0;
    while (*text && device->pipeCount < SIM_MAX_PIPES) {
        unsigned id = 0, type = 0;
        int used = 0;
        if (sscanf(text, "%x:%x%n", &id, &type, &used) != 2)
            break;
        device->pipes[device->pipeCount].id = (UCHAR)id;
        device->pipes[device->pipeCount].type = (UCHAR)type;
        device->pipeCount++;
        text += used;
        if (*text == ',')
            text++;
    }
}

static void DefaultPipes(SimDevice* device)
{
    device->pipeCount = 2;
    device->pipes[0].id = 0x81;
    device->pipes[0].type = 2;
    device->pipes[1].id = 0x02;
    device->pipes[1].type = 2;
}

/* One line: UTF-8 device path, then optionally a TAB and the pipe layout. */
static void ParseLine(char* line, SimState* state)
{
    size_t len = strlen(line);
    while (len && (line[len - 1] == '\n' || line[len - 1] == '\r'))
        line[--len] = 0;
    if (!len || state->count >= SIM_MAX_DEVICES)
        return;
    SimDevice* device = &state->devices[state->count];
    char* tab = strchr(line, '\t');
    if (tab)
        *tab = 0;
    if (!MultiByteToWideChar(CP_UTF8, 0, line, -1, device->path, SIM_PATH_CHARS))
        return;
    if (tab && tab[1] != '-')
        ParsePipes(tab + 1, device);
    else
        DefaultPipes(device);
    state->count++;
}

void SimReadState(SimState* state)
{
    WCHAR path[MAX_PATH];
    state->count = 0;
    SimDirectory(path, MAX_PATH - 20);
    lstrcatW(path, L"\\devices.txt");
    FILE* file = _wfopen(path, L"rb");
    if (!file)
        return;
    char line[1024];
    while (fgets(line, sizeof line, file))
        ParseLine(line, state);
    fclose(file);
}

const SimDevice* SimFindDevice(const SimState* state, const WCHAR* path)
{
    for (int i = 0; i < state->count; i++)
        if (lstrcmpW(state->devices[i].path, path) == 0)
            return &state->devices[i];
    return NULL;
}
