// Figure 1: MD5 throughput on a 64 MiB buffer, the installer's MD5
// against OpenSSL's (EVP), with cycles per byte for both.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "md5.h"
#include "support/clock_rate.h"
#include "support/figure_report.h"

namespace {

constexpr size_t kBufferSize = size_t(64) << 20;

const std::vector<unsigned char>& Buffer() {
    static const std::vector<unsigned char> buffer = [] {
        std::vector<unsigned char> bytes(kBufferSize);
        uint32_t x = 2463534242u;  // xorshift: bytes no compressor or predictor helps with
        for (auto& b : bytes) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            b = static_cast<unsigned char>(x);
        }
        return bytes;
    }();
    return buffer;
}

void Md5Ours(benchmark::State& state) {
    const auto& buffer = Buffer();
    unsigned char digest[kMD5DigestSize];
    for (auto _ : state) {
        MD5Context context;
        MD5Init(&context);
        MD5Update(&context, buffer.data(), buffer.size());
        MD5Final(digest, &context);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

void Md5OpenSsl(benchmark::State& state) {
    const auto& buffer = Buffer();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    for (auto _ : state) {
        EVP_DigestInit_ex(context, EVP_md5(), nullptr);
        EVP_DigestUpdate(context, buffer.data(), buffer.size());
        EVP_DigestFinal_ex(context, digest, &length);
        benchmark::DoNotOptimize(digest);
    }
    EVP_MD_CTX_free(context);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(buffer.size()));
}

// Both must compute the same digest, or the comparison means nothing.
bool SameDigest() {
    const auto& buffer = Buffer();
    unsigned char ours[kMD5DigestSize], theirs[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    MD5Context context;
    MD5Init(&context);
    MD5Update(&context, buffer.data(), buffer.size());
    MD5Final(ours, &context);
    EVP_Digest(buffer.data(), buffer.size(), theirs, &length, EVP_md5(), nullptr);
    return length == kMD5DigestSize && std::equal(ours, ours + kMD5DigestSize, theirs);
}

void Report(const BestTimes& times) {
    const double ours = times.Seconds("Md5Ours"), peer = times.Seconds("Md5OpenSsl");
    const double hz = MeasuredClockHz(times);
    if (ours <= 0 || peer <= 0) return;
    const double bytes = double(kBufferSize), mb = bytes / 1e6;
    const bool same = SameDigest();
    const double ratio = peer / ours;  // throughput, ours relative to OpenSSL's
    PrintFigureRow({"1 MD5, 64 MiB" + std::string(same ? "" : " (DIGESTS DIFFER)"),
                    Format("%.0f MB/s, %.2f c/B", mb / ours, ours * hz / bytes),
                    Format("OpenSSL %.0f MB/s, %.2f c/B", mb / peer, peer * hz / bytes), ratio,
                    ">= 0.9 of OpenSSL", same && ratio >= 0.9});
}

}  // namespace

BENCHMARK(Md5Ours)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(Md5OpenSsl)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv) {
    RegisterClockRateBenchmark();
    return RunFigures(argc, argv, &Report);
}
