// Appends "<pid> <arguments…>" to the file named by TIDEMARK_FAKE_RECORD, then waits to be
// ended (at most two minutes, so a failed test leaves nothing behind for long).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    const char* record = std::getenv("TIDEMARK_FAKE_RECORD");
    if (!record)
        return 2;
    if (std::FILE* file = std::fopen(record, "a")) {
        std::fprintf(file, "%d", static_cast<int>(::getpid()));
        for (int i = 1; i < argc; ++i)
            std::fprintf(file, " %s", argv[i]);
        std::fprintf(file, "\n");
        std::fclose(file);
    }
    for (int i = 0; i < 120; ++i)
        ::sleep(1);
    return 0;
}
