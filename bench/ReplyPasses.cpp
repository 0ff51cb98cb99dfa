// Runs the replies of one kind through Ferrow a number of times and nothing else, for an
// instruction count per reply under callgrind, e.g.:
//   valgrind --tool=callgrind --toggle-collect='*ReadReplies*' bench_reply_passes plain
// then divide the events collected by the replies read (printed at the end).
// Arguments: the kind (as the benchmarks name it), "datagram" for the road from the
// datagram's bytes (conversion and a fresh document per reply), and the passes (10).
#include "ReplyCorpus.h"
#include "ReplyReaders.h"
#include "discovery/ReplyReader.h"
#include "platform/TextConversion.h"

#include <benchmark/benchmark.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

using namespace ferrow::bench;

// Kept out of line, so that callgrind counts from their entry.
#ifdef _MSC_VER
#define KEPT_OUT_OF_LINE __declspec(noinline)
#else
#define KEPT_OUT_OF_LINE __attribute__((noinline))
#endif

KEPT_OUT_OF_LINE void ReadReplies(const std::vector<ReplyText>& replies, int passes) {
    FerrowReader reader;
    for (int pass = 0; pass < passes; ++pass) {
        for (const ReplyText& reply : replies) {
            ReplyFields<std::u16string> fields;
            benchmark::DoNotOptimize(reader.Read(reply.utf16, fields));
            benchmark::DoNotOptimize(fields);
        }
    }
}

KEPT_OUT_OF_LINE void ReadDatagramReplies(const std::vector<ReplyText>& replies, int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        for (const ReplyText& reply : replies) {
            auto record = ferrow::ReadDeviceReply(ferrow::NarrowToUtf16(reply.utf8));
            benchmark::DoNotOptimize(record);
        }
    }
}

std::optional<ReplyKind> KindNamed(const char* name) {
    for (ReplyKind kind : kAllKinds) {
        if (std::strcmp(KindName(kind), name) == 0) {
            return kind;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<ReplyKind> kind = argc > 1 ? KindNamed(argv[1]) : std::nullopt;
    if (!kind || std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        std::fprintf(stderr,
                     "usage: bench_reply_passes <kind> [datagram] [passes]; needs C.UTF-8\n");
        return 1;
    }
    const bool datagram = argc > 2 && std::strcmp(argv[2], "datagram") == 0;
    const int passes = argc > 3 ? std::atoi(argv[3]) : 10;
    // The same replies as the benchmarks read for this kind.
    const auto replies = MakeReplies(*kind, 256, static_cast<std::uint32_t>(*kind) + 1);
    if (datagram) {
        ReadDatagramReplies(replies, passes);
    } else {
        ReadReplies(replies, passes);
    }
    std::printf("%zu replies read\n", replies.size() * static_cast<std::size_t>(passes));
    return 0;
}
