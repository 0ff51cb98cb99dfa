#include "RateReport.h"

#include <cstdio>

namespace ferrow::bench {

void RateCollector::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const auto rate = run.counters.find("items_per_second");
        if (run.run_type == Run::RT_Iteration && rate != run.counters.end()) {
            m_rates[run.benchmark_name()] = rate->second.value;
        }
    }
}

void PrintRatios(const std::map<std::string, double>& rates, const std::vector<std::string>& groups,
                 const char* unit) {
    std::printf("\n%-24s", unit);
    for (const char* reader : kReaderNames) {
        std::printf(" %12s", reader);
    }
    std::printf("   ferrow / pugixml, rapidxml, tinyxml2\n");
    for (const std::string& group : groups) {
        double value[4] = {};
        for (int k = 0; k < 4; ++k) {
            const auto found = rates.find(group + "/" + kReaderNames[k]);
            value[k] = found != rates.end() ? found->second : 0.0;
        }
        if (value[0] == 0.0) {
            continue;
        }
        std::printf("%-24s", group.c_str());
        for (double v : value) {
            std::printf(" %12.4g", v);
        }
        std::printf("  ");
        for (int k = 1; k < 4; ++k) {
            std::printf(" %7.2fx", value[k] > 0.0 ? value[0] / value[k] : 0.0);
        }
        std::printf("\n");
    }
}

} // namespace ferrow::bench
