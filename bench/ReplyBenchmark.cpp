// Replies per second for CXmlDoc and three peer parsers on the same reply texts, and
// characters per second on one large document. Run without arguments; Google Benchmark
// flags (e.g. --benchmark_filter=replies/plain) pass through.
#include "RateReport.h"
#include "ReplyCorpus.h"
#include "ReplyReaders.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace ferrow::bench;

constexpr std::size_t kRepliesPerKind = 256;
constexpr std::size_t kLargeDocumentBytes = 12u << 20;

// The peers cannot skip the text ahead of the XML, so they get the bytes after the
// signature; CXmlDoc gets the whole text, signature included, as the program does.
std::string_view PeerXml(const ReplyText& reply) {
    return std::string_view(reply.utf8).substr(kSignature.size());
}

bool ReadReply(FerrowReader& reader, const ReplyText& reply, ReplyFields<std::u16string>& fields) {
    return reader.Read(reply.utf16, fields);
}
template <typename Peer>
bool ReadReply(Peer& reader, const ReplyText& reply, ReplyFields<std::string>& fields) {
    return reader.Read(PeerXml(reply), fields);
}

template <typename Reader>
using FieldsOf = std::conditional_t<std::is_same_v<Reader, FerrowReader>,
                                    ReplyFields<std::u16string>, ReplyFields<std::string>>;

template <typename Reader>
void BenchReplies(benchmark::State& state, const std::vector<ReplyText>* replies) {
    Reader reader;
    for (auto _ : state) {
        for (const ReplyText& reply : *replies) {
            FieldsOf<Reader> fields; // a fresh record per reply, as the program keeps
            benchmark::DoNotOptimize(ReadReply(reader, reply, fields));
            benchmark::DoNotOptimize(fields);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * replies->size()));
}

bool ParseDocument(FerrowReader& reader, const ReplyText& document) {
    return reader.Parse(document.utf16);
}
template <typename Peer> bool ParseDocument(Peer& reader, const ReplyText& document) {
    return reader.Parse(document.utf8);
}

template <typename Reader>
void BenchLargeDocument(benchmark::State& state, const ReplyText* document) {
    Reader reader;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseDocument(reader, *document));
    }
    // Characters, the same count for every reader whatever its encoding.
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * document->utf16.size()));
}

template <typename Register> void ForEachReader(const Register& add) {
    add.template operator()<FerrowReader>(kReaderNames[0]);
    add.template operator()<PugiReader>(kReaderNames[1]);
    add.template operator()<RapidReader>(kReaderNames[2]);
    add.template operator()<TinyReader>(kReaderNames[3]);
}

// Checks that the readers agree before timing them: how many replies each accepts, and
// how many field sets differ from CXmlDoc's.
void PrintAgreement(const std::map<std::string, std::vector<ReplyText>>& corpora) {
    std::printf("%-18s %9s %9s %9s %9s   fields differing from ferrow\n", "accepted replies",
                kReaderNames[0], kReaderNames[1], kReaderNames[2], kReaderNames[3]);
    FerrowReader ferrow;
    PugiReader pugi;
    RapidReader rapid;
    TinyReader tiny;
    for (const auto& [name, replies] : corpora) {
        int accepted[4] = {};
        int differing[4] = {};
        for (const ReplyText& reply : replies) {
            ReplyFields<std::u16string> ours;
            ReplyFields<std::string> peers[3];
            const bool read[4] = {ReadReply(ferrow, reply, ours), ReadReply(pugi, reply, peers[0]),
                                  ReadReply(rapid, reply, peers[1]),
                                  ReadReply(tiny, reply, peers[2])};
            const ReplyFields<std::string> oursUtf8 = {
                Utf16ToUtf8(ours.manufacture), Utf16ToUtf8(ours.model), Utf16ToUtf8(ours.ip),
                Utf16ToUtf8(ours.mac), Utf16ToUtf8(ours.httpPort)};
            for (int k = 0; k < 4; ++k) {
                accepted[k] += read[k];
            }
            for (int k = 0; k < 3; ++k) {
                differing[k + 1] += read[0] && read[k + 1] && !(peers[k] == oursUtf8);
            }
        }
        std::printf("%-18s %9d %9d %9d %9d   %d %d %d (of %zu)\n", name.c_str(), accepted[0],
                    accepted[1], accepted[2], accepted[3], differing[1], differing[2], differing[3],
                    replies.size());
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);

    std::map<std::string, std::vector<ReplyText>> corpora;
    std::vector<ReplyText>& mixed = corpora["all kinds"];
    std::uint32_t seed = 1;
    for (ReplyKind kind : kAllKinds) {
        auto replies = MakeReplies(kind, kRepliesPerKind, seed++);
        mixed.insert(mixed.end(), replies.begin(), replies.end());
        corpora[KindName(kind)] = std::move(replies);
    }
    const ReplyText document = MakeLargeDocument(kLargeDocumentBytes, seed);
    std::printf("large document: %zu characters, %zu UTF-8 bytes\n\n", document.utf16.size(),
                document.utf8.size());
    PrintAgreement(corpora);

    std::vector<std::string> groups;
    for (const auto& corpus : corpora) {
        // Named, not a structured binding: clang 14 refuses to capture those.
        const std::vector<ReplyText>& replies = corpus.second;
        const std::string group = "replies/" + corpus.first;
        groups.push_back(group);
        ForEachReader([&]<typename Reader>(const char* reader) {
            benchmark::RegisterBenchmark((group + "/" + reader).c_str(), BenchReplies<Reader>,
                                         &replies);
        });
    }
    ForEachReader([&]<typename Reader>(const char* reader) {
        benchmark::RegisterBenchmark((std::string("document/") + reader).c_str(),
                                     BenchLargeDocument<Reader>, &document)
            ->Unit(benchmark::kMillisecond);
    });

    RateCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    PrintRatios(collector.Rates(), groups, "replies per second");
    PrintRatios(collector.Rates(), {"document"}, "characters per second");
    benchmark::Shutdown();
    return 0;
}
