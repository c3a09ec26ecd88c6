// korva8-sample PATH [--rolls N] [--invoices-per-roll N] [--lines-per-invoice N]
//                    [--children N] [--clients N] [--payments N] [--empty]
// Creates a sample KORVA 8 database in SQLite at PATH.
#include "Korva8Sample.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

int main(int argc, char** argv)
{
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: %s PATH [--rolls N] [--invoices-per-roll N] [--lines-per-invoice N] [--children N] "
                     "[--clients N] [--payments N] [--empty]\n",
                     argv[0]);
        return 2;
    }
    korva8::SampleOptions options;
    struct {
        const char* flag;
        int* value;
    } numeric[] = {{"--rolls", &options.rolls},       {"--invoices-per-roll", &options.invoicesPerRoll},
                   {"--lines-per-invoice", &options.linesPerInvoice}, {"--children", &options.children},
                   {"--clients", &options.clients},   {"--payments", &options.payments}};
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--empty") == 0) {
            options.withData = false;
            continue;
        }
        bool known = false;
        for (auto& option : numeric) {
            if (std::strcmp(argv[i], option.flag) == 0 && i + 1 < argc) {
                *option.value = std::atoi(argv[++i]);
                known = true;
            }
        }
        if (!known) {
            std::fprintf(stderr, "%s: unknown option %s\n", argv[0], argv[i]);
            return 2;
        }
    }
    try {
        korva8::CreateSampleDatabase(argv[1], options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
