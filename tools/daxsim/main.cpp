// dax-sim: plays a Dax-01/Dax-02 instrument over Modbus RTU on a TCP port or a pseudo-terminal
// until interrupted.
#include "Options.h"
#include "Servers.h"

#include "platform/Exceptions.h"

#include <csignal>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(daxsim::kSimUsage, stdout);
        return 0;
    }
    std::string error;
    const auto options = daxsim::ParseSimOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "dax-sim: %s\n%s", error.c_str(), daxsim::kSimUsage);
        return 2;
    }
    if (!options->DataFile.empty()) {
        std::fprintf(stderr, "dax-sim: --data: loading a data file is not supported yet\n");
        return 2;
    }

    // The servers' threads inherit the blocked signals; the main thread waits for them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    daxsim::Simulator simulator(daxsim::FixtureState(options->DeviceModel), options->Address, options->Faults);
    const char* model = options->DeviceModel == daxsim::Model::Dax01 ? "DAX-01" : "DAX-02";
    try {
        std::unique_ptr<daxsim::TcpServer> tcp;
        std::unique_ptr<daxsim::PtyServer> pty;
        if (options->Tcp) {
            tcp = std::make_unique<daxsim::TcpServer>(simulator, options->Host, options->Port);
            tcp->Start();
            std::printf("dax-sim: %s at address %d on tcp %s:%d\n", model, options->Address, tcp->Host().c_str(),
                        tcp->Port());
        } else {
            pty = std::make_unique<daxsim::PtyServer>(simulator);
            pty->Start();
            std::printf("dax-sim: %s at address %d on pty %s\n", model, options->Address, pty->SlavePath().c_str());
        }
        std::fflush(stdout);
        int received = 0;
        sigwait(&signals, &received);
    } catch (...) {
        std::fprintf(stderr, "%s\n", platform::CurrentExceptionMessage().c_str());
        return 1;
    }
    return 0;
}
