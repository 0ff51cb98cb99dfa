#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

namespace ferrow::bench {

// The readers compared, Ferrow first; benchmarks are named "<group>/<reader>".
inline constexpr const char* kReaderNames[] = {"ferrow", "pugixml", "rapidxml", "tinyxml2"};

// A console reporter that also keeps each run's items per second, so that the ratios
// can be printed when all runs are done.
class RateCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    const std::map<std::string, double>& Rates() const { return m_rates; }

private:
    std::map<std::string, double> m_rates;
};

// One line per group: each reader's rate and Ferrow's ratio to each peer.
void PrintRatios(const std::map<std::string, double>& rates, const std::vector<std::string>& groups,
                 const char* unit);

} // namespace ferrow::bench
