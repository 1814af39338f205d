#pragma once
#include <memory>

#include "communication_base.h"

// The link the program uses when no test has installed a factory.
std::unique_ptr<ICommunicationBase> CreateDefaultLink();
