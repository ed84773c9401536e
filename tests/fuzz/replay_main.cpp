// Replays inputs through the fuzz target without a fuzzing engine, so that the test
// command runs every input the fuzzer ever kept (and every transcript) in the sanitizer
// build. Arguments are files or folders, searched recursively; a transcript's .out file is
// an expectation, not an input, and is skipped. Fails when it finds no input at all, so a
// misplaced corpus cannot pass unnoticed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

static std::vector<fs::path> inputs_in(const fs::path& root)
{
    std::vector<fs::path> found;
    if (fs::is_regular_file(root)) found.push_back(root);
    if (fs::is_directory(root)) {
        for (const auto& entry : fs::recursive_directory_iterator{root})
            if (entry.is_regular_file() && entry.path().extension() != ".out") found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

int main(int argc, char** argv)
{
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& path : inputs_in(argv[i])) {
            std::ifstream file{path, std::ios::binary};
            const std::string bytes{std::istreambuf_iterator<char>{file}, std::istreambuf_iterator<char>{}};
            std::cerr << path.string() << '\n';  // the last name shown is the input that failed
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::cout << "replayed " << replayed << " inputs\n";
    return replayed > 0 ? 0 : 1;
}
