// The simulated marketplace as a program: market-sim [fixture-file].
// Prints the port it serves on, then runs until interrupted.
#include <csignal>
#include <cstdio>
#include <string>

#include "market_sim.h"

int main(int argc, char** argv) {
    qm::sim::Fixture fixture;
    if (argc > 1) {
        std::string error;
        auto loaded = qm::sim::load_fixture(argv[1], &error);
        if (!loaded) {
            std::fprintf(stderr, "market-sim: %s\n", error.c_str());
            return 2;
        }
        fixture = std::move(*loaded);
    }
    // Block the stop signals before the server threads start, so only
    // sigwait below sees them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    qm::sim::MarketSim sim(std::move(fixture));
    if (!sim.start()) {
        std::fprintf(stderr, "market-sim: cannot listen on 127.0.0.1\n");
        return 1;
    }
    std::printf("%d\n", sim.port());
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
    sim.stop();
    return 0;
}
