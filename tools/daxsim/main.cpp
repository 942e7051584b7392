// dax-sim: plays a Dax-01/Dax-02 instrument over Modbus RTU on a TCP port, a pseudo-terminal or
// behind a fake GPRS relay server until interrupted: the built-in fixture instrument, a plausible
// demo instrument or the one a data file describes, and on request saves the instrument's state
// as a data file when it stops.
#include "ConfiguratorSettings.h"
#include "DataFile.h"
#include "DemoState.h"
#include "Options.h"
#include "RelayServer.h"
#include "Servers.h"

#include "platform/Exceptions.h"

#include <csignal>
#include <filesystem>
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
    daxsim::InstrumentState state;
    if (options->Demo) {
        state = daxsim::DemoState(options->DeviceModel);
    } else if (options->DataFile.empty()) {
        state = daxsim::FixtureState(options->DeviceModel);
    } else {
        try {
            std::vector<std::string> warnings;
            state = daxsim::LoadStateFromDataFile(options->DataFile, &warnings);
            for (const std::string& warning : warnings)
                std::fprintf(stderr, "dax-sim: %s: %s\n", options->DataFile.c_str(), warning.c_str());
        } catch (...) {
            std::fprintf(stderr, "dax-sim: %s: %s\n", options->DataFile.c_str(),
                         platform::CurrentExceptionMessage().c_str());
            return 1;
        }
    }
    const std::string model(state.ModelText.begin(), state.ModelText.end());

    // The servers' threads inherit the blocked signals; the main thread waits for them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    daxsim::Simulator simulator(std::move(state), options->Address, options->Faults);
    // The demo's counters and flows move a little with every read of current values.
    if (options->Demo)
        simulator.Device().SetBeforeCurrentRead(daxsim::DemoMotion{});
    if (options->LogRequests) {
        simulator.SetRequestObserver([](const daxsim::RequestRecord& record) {
            std::printf("%s\n", daxsim::RequestLine(record).c_str());
            std::fflush(stdout);
        });
    }
    try {
        std::unique_ptr<daxsim::TcpServer> tcp;
        std::unique_ptr<daxsim::PtyServer> pty;
        std::unique_ptr<daxsim::RelayServer> relay;
        if (options->Relay) {
            // Behind a fake GPRS relay server, which addresses the instrument as 0.
            relay = std::make_unique<daxsim::RelayServer>(simulator, options->RelaySettings, options->Host,
                                                          options->Port);
            relay->Start();
            std::string devices;
            for (const std::string& id : options->RelaySettings.devices)
                devices += (devices.empty() ? "" : ", ") + id;
            std::printf("dax-sim: %s at address 0 on relay %s:%d for %s\n", model.c_str(),
                        relay->Host().c_str(), relay->Port(), devices.c_str());
        } else if (options->Tcp) {
            tcp = std::make_unique<daxsim::TcpServer>(simulator, options->Host, options->Port);
            tcp->Start();
            // The settings come before the announcement: whoever waits for it may start the
            // configurator at once.
            if (!options->ConfiguratorSettings.empty()) {
                daxsim::WriteConfiguratorSettings(options->ConfiguratorSettings, tcp->Host(), tcp->Port(),
                                                  options->Address);
                std::printf("dax-sim: configurator settings written to %s\n",
                            (std::filesystem::path(options->ConfiguratorSettings) / "registry.json").c_str());
            }
            std::printf("dax-sim: %s at address %d on tcp %s:%d\n", model.c_str(), options->Address, tcp->Host().c_str(),
                        tcp->Port());
        } else {
            pty = std::make_unique<daxsim::PtyServer>(simulator);
            pty->Start();
            std::printf("dax-sim: %s at address %d on pty %s\n", model.c_str(), options->Address, pty->SlavePath().c_str());
        }
        std::fflush(stdout);
        int received = 0;
        sigwait(&signals, &received);
        // The servers stop first, so that no write lands while the state is saved.
        tcp.reset();
        pty.reset();
        relay.reset();
    } catch (...) {
        std::fprintf(stderr, "%s\n", platform::CurrentExceptionMessage().c_str());
        return 1;
    }
    if (!options->SaveDataFile.empty()) {
        try {
            daxsim::SaveInstrumentDataFile(simulator.Device(), options->SaveDataFile);
        } catch (...) {
            std::fprintf(stderr, "dax-sim: %s: %s\n", options->SaveDataFile.c_str(),
                         platform::CurrentExceptionMessage().c_str());
            return 1;
        }
        std::printf("dax-sim: state saved to %s\n", options->SaveDataFile.c_str());
    }
    return 0;
}
