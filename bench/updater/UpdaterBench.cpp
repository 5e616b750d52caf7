// Reading an update feed of many releases and comparing versions.
#include "platform/updater/Appcast.hpp"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string feedOf(int releases)
{
    std::string xml = "<?xml version=\"1.0\"?><rss version=\"2.0\" "
                      "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
                      "<channel><title>Tidemark</title>";
    for (int i = 0; i < releases; ++i) {
        auto version = std::to_string(i);
        xml += "<item><title>Version 1." + version
            + "</title><enclosure url=\"https://tidemark.app/" + version
            + ".tar.gz\" sparkle:version=\"" + version + "\" sparkle:shortVersionString=\"1."
            + version + "\" length=\"1\" type=\"x\"/></item>";
    }
    return xml + "</channel></rss>";
}

void parseFeed(benchmark::State& state)
{
    auto xml = feedOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(tidemark::parseAppcast(xml));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(parseFeed)->Arg(10)->Arg(500);

void compareVersions(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(tidemark::compareVersions("1.10.3b2", "1.10.3"));
}
BENCHMARK(compareVersions);

} // namespace

BENCHMARK_MAIN();
