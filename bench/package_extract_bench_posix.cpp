// Extraction of a 50 MB executable-like entry against the floor it should
// not fall far behind: xz decoding the very same raw stream (same filters,
// same output sink: a new file in the same folder). Rounds alternate and
// the medians are compared; ratio = xz time / our time (1.0: as fast).
// Wall time and CPU time (user + system, of this process or of the xz
// child) are both reported: on a shared machine the CPU figure is the
// steadier one.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/SampleData.h"
#include "tools/lzmapack/PackageWriter.h"
#include "update/LZMAPackage.h"

namespace {

constexpr size_t kEntrySize = 50u << 20;
constexpr int kRounds = 7;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return std::move(buffer).str();
}

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Sample {
    std::vector<double> wall, cpu;
};

// Times |fn|; |who| is whose CPU time counts (RUSAGE_SELF or RUSAGE_CHILDREN).
template <typename Fn>
void Time(Sample* sample, int who, Fn&& fn) {
    const double cpuStart = CpuSeconds(who);
    const auto start = std::chrono::steady_clock::now();
    fn();
    sample->wall.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    sample->cpu.push_back(CpuSeconds(who) - cpuStart);
}

}  // namespace

int main() {
    char dirTemplate[] = "/tmp/package-bench-XXXXXX";
    if (!mkdtemp(dirTemplate)) return 1;
    const std::string dir = dirTemplate;
    const std::string packagePath = dir + "/launcherqamb.exe.lzma";
    const std::string streamPath = dir + "/stream.raw";

    const std::string exe = sampledata::ExecutableLike(kEntrySize, 42);
    lzmapack::Options options;
    options.preset = 2;
    options.endMarker = true;  // xz's raw decoder needs to see where the stream ends
    std::string package, error;
    if (!lzmapack::BuildPackage({{"LauncherQAMB.exe", exe}}, options, &package, &error)) {
        std::fprintf(stderr, "pack: %s\n", error.c_str());
        return 1;
    }
    const size_t dataOffset = 32 + sizeof("LauncherQAMB.exe");
    const auto* props = reinterpret_cast<const uint8_t*>(package.data()) + dataOffset + 1;
    const uint32_t dict =
        props[1] | props[2] << 8 | props[3] << 16 | static_cast<uint32_t>(props[4]) << 24;
    const unsigned lc = props[0] % 9, lp = props[0] / 9 % 5, pb = props[0] / 45;
    if (!WriteAll(packagePath, package) || !WriteAll(streamPath, package.substr(dataOffset + 14))) {
        return 1;
    }
    const std::string xzCommand = "xz --format=raw --x86 --lzma1=lc=" + std::to_string(lc) +
                                  ",lp=" + std::to_string(lp) + ",pb=" + std::to_string(pb) +
                                  ",dict=" + std::to_string(dict) + " -dc " + streamPath + " > " +
                                  dir + "/xz.exe";
    const std::string oursPath = dir + "/ours/LauncherQAMB.exe";

    Sample ours, xz;
    for (int round = 0; round < kRounds; ++round) {
        auto runOurs = [&] {
            unlink(oursPath.c_str());
            Time(&ours, RUSAGE_SELF, [&] {
                LZMAPackage reader(packagePath);
                if (!reader.Open() ||
                    !reader.ExtractFileToDisk("LauncherQAMB.exe", dir + "/ours")) {
                    std::fprintf(stderr, "extraction failed\n");
                    std::exit(1);
                }
            });
        };
        auto runXz = [&] {
            unlink((dir + "/xz.exe").c_str());
            Time(&xz, RUSAGE_CHILDREN, [&] {
                if (std::system(xzCommand.c_str()) != 0) {
                    std::fprintf(stderr, "xz failed: %s\n", xzCommand.c_str());
                    std::exit(1);
                }
            });
        };
        if (round % 2) {
            runXz();
            runOurs();
        } else {
            runOurs();
            runXz();
        }
    }
    const bool same = ReadAll(oursPath) == exe && ReadAll(dir + "/xz.exe") == exe;
    std::system(("rm -rf " + dir).c_str());
    if (!same) {
        std::fprintf(stderr, "outputs differ from the input\n");
        return 1;
    }

    const double oursWall = Median(ours.wall), xzWall = Median(xz.wall);
    const double oursCpu = Median(ours.cpu), xzCpu = Median(xz.cpu);
    std::printf("entry:   %zu bytes, packed %zu (x86 + LZMA1, lc=%u lp=%u pb=%u dict=%u)\n",
                exe.size(), package.size() - dataOffset, lc, lp, pb, dict);
    std::printf(
        "extract: median %.3f s wall (%.0f MB/s), %.3f s cpu; LZMAPackage open + "
        "ExtractFileToDisk\n",
        oursWall, exe.size() / oursWall / 1e6, oursCpu);
    std::printf(
        "floor:   median %.3f s wall (%.0f MB/s), %.3f s cpu; xz --format=raw -d, same "
        "stream, to a file\n",
        xzWall, exe.size() / xzWall / 1e6, xzCpu);
    std::printf("ratio:   %.3f cpu, %.3f wall (xz time / extract time; aim >= 0.9)\n",
                xzCpu / oursCpu, xzWall / oursWall);
    return 0;
}
