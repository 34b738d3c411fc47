// Compressed X files' raw DEFLATE: the platform's own inflater against zlib's on the same
// 4 MiB of mixed data (X-file-like text with random stretches), deflated once by zlib at its
// default level. Both report the inflated bytes per second.
#include "core/inflate.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kPlainSize = size_t(4) << 20;
constexpr int kRawDeflate = -MAX_WBITS;
constexpr int kMemoryLevel = 8;
constexpr size_t kWindow = 32768;
// One time in this many, a stretch of random bytes instead of a line of numbers.
constexpr unsigned kRandomStretchOdds = 16;
constexpr size_t kRandomStretch = 64;

// Lines of vertex numbers and names as a text X file holds them, with random stretches.
std::vector<uint8_t> MixedData() {
    std::mt19937 random(1);
    const char* names[] = {"Mesh ", "MeshNormals ", "MeshTextureCoords ", "Material ", "Frame "};
    std::vector<uint8_t> plain;
    while (plain.size() < kPlainSize) {
        std::string line;
        if (random() % kRandomStretchOdds == 0) {
            for (size_t i = 0; i < kRandomStretch; ++i) line += static_cast<char>(random());
        } else {
            line = names[random() % std::size(names)];
            for (int i = 0; i < 3; ++i) line += std::to_string(static_cast<int>(random() % 2000) - 1000) + ".5;";
            line += ",\n";
        }
        plain.insert(plain.end(), line.begin(), line.end());
    }
    plain.resize(kPlainSize);
    return plain;
}

std::vector<uint8_t> Deflated(const std::vector<uint8_t>& plain) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kRawDeflate, kMemoryLevel, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> packed(deflateBound(&stream, plain.size()));
    stream.next_in = const_cast<Bytef*>(plain.data());
    stream.avail_in = static_cast<uInt>(plain.size());
    stream.next_out = packed.data();
    stream.avail_out = static_cast<uInt>(packed.size());
    deflate(&stream, Z_FINISH);
    packed.resize(packed.size() - stream.avail_out);
    deflateEnd(&stream);
    return packed;
}

const std::vector<uint8_t> kPlain = MixedData();
const std::vector<uint8_t> kPacked = Deflated(kPlain);

void Report(benchmark::State& state, const std::vector<uint8_t>& out) {
    if (out != kPlain) state.SkipWithError("the inflated data differs from the original");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPlain.size()));
    state.counters["compressed_ratio"] = static_cast<double>(kPacked.size()) / static_cast<double>(kPlain.size());
}

void BM_InflateOwn(benchmark::State& state) {
    std::vector<uint8_t> out;
    for (auto _ : state) {
        out.clear();
        std::string error;
        if (!platform::InflateRaw(kPacked.data(), kPacked.size(), &out, kWindow, kPlain.size(),
                                  platform::DeflateEnd::AfterFinalBlock, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, out);
}
BENCHMARK(BM_InflateOwn)->Unit(benchmark::kMillisecond);

void BM_InflateZlib(benchmark::State& state) {
    std::vector<uint8_t> out(kPlain.size());
    for (auto _ : state) {
        z_stream stream{};
        inflateInit2(&stream, kRawDeflate);
        stream.next_in = const_cast<Bytef*>(kPacked.data());
        stream.avail_in = static_cast<uInt>(kPacked.size());
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        if (inflate(&stream, Z_FINISH) != Z_STREAM_END) state.SkipWithError("zlib did not inflate the data");
        inflateEnd(&stream);
        benchmark::DoNotOptimize(out.data());
    }
    Report(state, out);
}
BENCHMARK(BM_InflateZlib)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
