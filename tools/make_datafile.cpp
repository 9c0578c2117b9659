// Writes the delivered data file with every row the program uses.
// Usage: vpl_make_datafile [--if-missing] FILE
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "store/schema.h"

int main(int argc, char** argv) {
    bool ifMissing = false;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--if-missing") == 0)
            ifMissing = true;
        else
            file = argv[i];
    }
    if (!file) {
        std::fprintf(stderr, "usage: vpl_make_datafile [--if-missing] FILE\n");
        return 2;
    }
    if (std::filesystem::exists(file)) {
        if (ifMissing) return 0;  // never overwrite a user's data
        std::fprintf(stderr, "%s exists; not overwritten\n", file);
        return 1;
    }
    try {
        vpl::store::createDeliveredFile(file);
    } catch (const vpl::store::StoreError& e) {
        // The file is built whole or not at all: there is nothing to clean up, and a file
        // that appeared meanwhile is someone's data.
        std::fprintf(stderr, "vpl_make_datafile: %s\n", e.what());
        return 1;
    }
    return 0;
}
