// The program whose resources the tests read: the probe built beside the
// test program by default, or the program named on the command line (a
// Linux path is turned into Wine's Z: form).
#pragma once

#include <string>

#include "tests/res/resource_source.h"

// Marker argument for "the shipped program does not exist in this build".
constexpr const char* kNoProgram = "no-program";

void SetProgramArgument(const std::string& argument);
bool ProgramAbsent();
std::wstring ProgramPath();
// Opened once per test program; null with error set when it cannot be read.
const IResourceSource* ProgramResources(std::string& error);
