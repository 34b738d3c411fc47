// Writes the MD2 fuzzer's seeds: small valid files built with the MD2 tests' own writer, one
// with a strip, one with a strip and a fan over two frames, and one padded frame record.
#include "../tests/md2/md2_test_files.h"

#include <cstdio>
#include <string>

using namespace md2_test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: md2_seed_writer MD2_DIR\n");
        return 1;
    }
    const std::string folder = argv[1];
    WriteFile(folder + "/strip.md2", Bytes(Triangle(1)));
    Model both = Triangle(2);
    both.commandWords =
        Commands({{3, {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}}}, {-3, {{0.5f, 0.5f, 2}, {1, 1, 1}, {0, 1, 0}}}});
    WriteFile(folder + "/strip_and_fan.md2", Bytes(both));
    Model padded = Triangle(3);
    padded.extraFrameBytes = 8;
    WriteFile(folder + "/padded.md2", Bytes(padded));
    return 0;
}
