#include "platform/foundation/Diagnostics.hpp"

#include <atomic>
#include <cstdio>

namespace tidemark {

namespace {

std::atomic<DiagnosticsHandler> g_handler { nullptr };

} // namespace

void setDiagnosticsHandler(DiagnosticsHandler handler)
{
    g_handler.store(handler, std::memory_order_release);
}

void reportDiagnostic(DiagnosticSource source, std::string_view message)
{
    if (DiagnosticsHandler handler = g_handler.load(std::memory_order_acquire)) {
        handler(source, message);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
}

} // namespace tidemark
