#include "default_link.h"
#include "no_device_link.h"

std::unique_ptr<ICommunicationBase> CreateDefaultLink() { return std::make_unique<CNoDeviceLink>(); }
