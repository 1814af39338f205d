#include "default_link.h"
#include "usb_communication.h"

std::unique_ptr<ICommunicationBase> CreateDefaultLink() { return std::make_unique<CUSBCommunication>(); }
