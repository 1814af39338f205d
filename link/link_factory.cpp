#include "link_factory.h"

#include <mutex>
#include <utility>

#include "default_link.h"

namespace {
std::mutex g_factoryLock;
LinkFactory g_factory;
}  // namespace

std::unique_ptr<ICommunicationBase> CreateLink() {
    LinkFactory factory;
    {
        std::lock_guard<std::mutex> hold(g_factoryLock);
        factory = g_factory;
    }
    return factory ? factory() : CreateDefaultLink();
}

LinkFactory SetLinkFactory(LinkFactory factory) {
    std::lock_guard<std::mutex> hold(g_factoryLock);
    return std::exchange(g_factory, std::move(factory));
}
