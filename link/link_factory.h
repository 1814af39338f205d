#pragma once
// Every device operation of the update logic asks here for a fresh link of
// its own. Tests install a factory of their own; the program uses the
// platform's default.
#include <functional>
#include <memory>

#include "communication_base.h"

using LinkFactory = std::function<std::unique_ptr<ICommunicationBase>()>;

std::unique_ptr<ICommunicationBase> CreateLink();

// Installs a factory and returns the one it replaces; an empty factory
// restores the default.
LinkFactory SetLinkFactory(LinkFactory factory);
