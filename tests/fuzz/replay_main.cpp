// Replays the fuzzer's sessions through its harness without libFuzzer, so
// the invariants it checks run in every test run: each file in the folders
// given is one session. An invariant broken aborts, failing the run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> sessions;
    for (int i = 1; i < argc; ++i)
        for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
            sessions.push_back(std::filesystem::absolute(entry.path())); // the harness changes directory
    std::sort(sessions.begin(), sessions.end());
    LLVMFuzzerInitialize(&argc, &argv);
    for (const auto& path : sessions) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (bytes.empty())
            return 1;
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        std::printf("replayed %s\n", path.filename().c_str());
    }
    return sessions.empty() ? 1 : 0;
}
