// Replies per second from the datagram's bytes to the five fields: for Ferrow the whole
// road of the program (narrow text to UTF-16, then the reply reader with a fresh document
// per reply); for the peers their reader on the same bytes after the signature, which they
// take as UTF-8 without a conversion. Run without arguments; Google Benchmark flags pass
// through.
#include "RateReport.h"
#include "ReplyCorpus.h"
#include "ReplyReaders.h"
#include "discovery/ReplyReader.h"
#include "platform/TextConversion.h"

#include <benchmark/benchmark.h>
#include <clocale>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace ferrow::bench;

constexpr std::size_t kRepliesPerKind = 256;

void BenchFerrow(benchmark::State& state, const std::vector<ReplyText>* replies) {
    for (auto _ : state) {
        for (const ReplyText& reply : *replies) {
            auto record = ferrow::ReadDeviceReply(ferrow::NarrowToUtf16(reply.utf8));
            benchmark::DoNotOptimize(record);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * replies->size()));
}

template <typename Peer>
void BenchPeer(benchmark::State& state, const std::vector<ReplyText>* replies) {
    Peer reader;
    for (auto _ : state) {
        for (const ReplyText& reply : *replies) {
            ReplyFields<std::string> fields;
            benchmark::DoNotOptimize(
                reader.Read(std::string_view(reply.utf8).substr(kSignature.size()), fields));
            benchmark::DoNotOptimize(fields);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * replies->size()));
}

} // namespace

int main(int argc, char** argv) {
    // The corpus is UTF-8, as the narrow character set of a present-day system is.
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        std::fprintf(stderr, "locale C.UTF-8 is missing\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);

    std::map<std::string, std::vector<ReplyText>> corpora;
    std::uint32_t seed = 1;
    for (const ReplyKind kind : kAllKinds) {
        auto replies = MakeReplies(kind, kRepliesPerKind, seed++);
        corpora["all kinds"].insert(corpora["all kinds"].end(), replies.begin(), replies.end());
        corpora[KindName(kind)] = std::move(replies);
    }
    std::vector<std::string> groups;
    for (const auto& [name, replies] : corpora) {
        const std::string group = "datagrams/" + name;
        groups.push_back(group);
        benchmark::RegisterBenchmark((group + "/ferrow").c_str(), BenchFerrow, &replies);
        benchmark::RegisterBenchmark((group + "/pugixml").c_str(), BenchPeer<PugiReader>, &replies);
        benchmark::RegisterBenchmark((group + "/rapidxml").c_str(), BenchPeer<RapidReader>,
                                     &replies);
        benchmark::RegisterBenchmark((group + "/tinyxml2").c_str(), BenchPeer<TinyReader>,
                                     &replies);
    }

    RateCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    PrintRatios(collector.Rates(), groups, "datagrams per second");
    benchmark::Shutdown();
    return 0;
}
