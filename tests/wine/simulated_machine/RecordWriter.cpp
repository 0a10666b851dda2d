// Helper program for the concurrency test: makes firmware calls from several
// threads, each in its own apartment. Every call carries its origin in the
// data block (process, thread, call number), so the test can tell that each
// call arrived whole and exactly once.
//
// Usage: simulated-machine-record-writer PROCESS THREADS CALLS
// Exit code 0 when every call succeeded.
#include "WmiClient.h"

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace simulated_machine::testing;

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        return 2;
    }
    const int process = _wtoi(argv[1]);
    const int threads = _wtoi(argv[2]);
    const int calls = _wtoi(argv[3]);
    std::atomic<int> failures{0};
    std::vector<std::thread> workers;
    for (int thread = 0; thread < threads; ++thread) {
        workers.emplace_back([&, thread] {
            const ComApartment apartment;
            for (int call = 0; call < calls; ++call) {
                FirmwareCallOptions options;
                options.commandType = 3;
                options.data.fill(static_cast<std::uint8_t>(call));
                options.data[0] = static_cast<std::uint8_t>(process);
                options.data[1] = static_cast<std::uint8_t>(thread);
                if (FAILED(apartment.status) || !callFirmware(options).failedStep.empty()) {
                    ++failures;
                }
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    return failures == 0 ? 0 : 1;
}
