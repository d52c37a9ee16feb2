// The command-line program with a fixed number of reader threads beside the
// walk, which its command line does not set (it takes one per processor):
//
//   readers_bench READERS [SWITCH...] FOLDER LIST
//
// Everything after READERS is read and run exactly as scrivlet does; the
// exit status is the program's.
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/app_main.h"
#include "listing/listing_job.h"

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] < '0' || argv[1][0] > '9') {
        fprintf(stderr, "usage: readers_bench READERS [SWITCH...] FOLDER LIST\n");
        return 1;
    }
    listing_reader_threads = atoi(argv[1]);
    setlocale(LC_ALL, "");
    // The program's own arguments: its name, then what follows READERS.
    std::vector<char*> native = {argv[0]};
    for (int i = 2; i < argc; ++i) native.push_back(argv[i]);
    std::vector<std::string> texts;
    for (char* arg : native) {
        const size_t length = strlen(arg);
        std::string text(text_from_native(nullptr, 0, arg, length, TEXT_ARGUMENT) + 1, '\0');
        text_from_native(&text[0], text.size(), arg, length, TEXT_ARGUMENT);
        texts.push_back(text);
    }
    std::vector<const char*> args;
    for (const std::string& text : texts) args.push_back(text.c_str());
    args.push_back(nullptr);
    native.push_back(nullptr);
    return app_main(nullptr, (int)texts.size(), args.data(), native.data());
}
