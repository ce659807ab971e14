// Times the game's start: from the launcher's clock just before fork and exec to the end of the
// game's first glXSwapBuffers (first_swap, preloaded, reports it), the game run with --windowed
// in the current folder and killed once it has shown that frame. Given several games, each round
// starts each once, the first of the round taking turns, so all meet the same load; prints each
// game's median and quartiles, and each against the first as the median of the rounds' ratios.
//
//   startup RUNS GAME...
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "Spread.h"

namespace {

constexpr int FRAME_WAIT_MS = 20000;  // a game that shows no frame by then has failed

std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * INT64_C(1000000000) + now.tv_nsec;
}

// Milliseconds from exec to the first frame shown; negative when the game showed none.
double startMilliseconds(const char* game) {
    int swap[2];
    if (pipe2(swap, O_CLOEXEC) != 0) return -1.0;
    const std::int64_t start = monotonicNanoseconds();
    const pid_t pid = fork();
    if (pid == 0) {
        // The write end stays open across exec; stdout (the game's banner) is not the bench's.
        fcntl(swap[1], F_SETFD, 0);
        setenv("BONEYARD_FIRST_SWAP_FD", std::to_string(swap[1]).c_str(), 1);
        setenv("LD_PRELOAD", FIRST_SWAP_LIBRARY, 1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execl(game, game, "--windowed", static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    close(swap[1]);
    std::int64_t swapped = 0;
    pollfd ready{swap[0], POLLIN, 0};
    // The game's end closes the write end unread: poll returns, the read finds nothing.
    const bool shown = pid > 0 && poll(&ready, 1, FRAME_WAIT_MS) == 1 &&
                       read(swap[0], &swapped, sizeof swapped) == sizeof swapped;
    close(swap[0]);
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return shown ? (swapped - start) / 1e6 : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 2 ? std::atoi(argv[1]) : 0;
    if (runs < 1) {
        std::fprintf(stderr, "usage: startup RUNS GAME...\n");
        return 2;
    }
    const int games = argc - 2;
    std::vector<std::vector<double>> times(games), ratios(games);
    for (int round = 0; round < runs; ++round) {
        std::vector<double> now(games);
        for (int k = 0; k < games; ++k) {
            const int g = (round + k) % games;
            now[g] = startMilliseconds(argv[2 + g]);
            if (now[g] < 0) {
                std::fprintf(stderr, "startup: %s showed no frame: it ended first, or took over %d ms\n", argv[2 + g], FRAME_WAIT_MS);
                return 1;
            }
        }
        for (int g = 0; g < games; ++g) times[g].push_back(now[g]), ratios[g].push_back(now[g] / now[0]);
    }
    std::printf("start-up, exec to the first frame shown (--windowed), median of %d runs, quartiles in brackets:\n", runs);
    for (int g = 0; g < games; ++g) {
        const Spread ms = spreadOf(times[g]), ratio = spreadOf(ratios[g]);
        std::printf("  %-38s %8.1f ms  (%.1f-%.1f)", argv[2 + g], ms.median, ms.low, ms.high);
        if (g > 0) std::printf("   %.2fx the first (rounds %.2f-%.2f)", ratio.median, ratio.low, ratio.high);
        std::printf("\n");
    }
    return 0;
}
