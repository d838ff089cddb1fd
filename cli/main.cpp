#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tessella-cli %s\n", TESSELLA_VERSION);
        return 0;
    }
    std::printf("usage: tessella-cli encrypt|decrypt ...\n");
    return argc > 1 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
}
