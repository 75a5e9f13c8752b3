#include "cli/lastResort.h"

#include "cli/cliOptions.h"
#include "cli/cliReport.h"
#include "faults/faultReport.h"

namespace farhost {

namespace {

Host* g_host = nullptr;
const TerminalOutput* g_output = nullptr;
volatile LONG g_entered = 0;

LONG WINAPI lastResort(EXCEPTION_POINTERS* pointers) {
    if (InterlockedExchange(&g_entered, 1) != 0) ExitProcess(kExitFaulted);   // faulted while reporting
    FaultInfo fault;
    const EXCEPTION_RECORD* record = pointers ? pointers->ExceptionRecord : nullptr;
    if (record) {
        fault.code = record->ExceptionCode;
        fault.address = record->ExceptionAddress;
        fault.parameters = record->NumberParameters;
        if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2) {
            fault.access = static_cast<int>(record->ExceptionInformation[0]);
            fault.target = record->ExceptionInformation[1];
        } else if (record->NumberParameters >= 1) {
            fault.parameter = record->ExceptionInformation[0];
        }
    }
    std::string text = describeFault("", fault);
    if (g_host) {
        g_host->faults.push_back(text);
        g_host->problems.push_back(text);
        g_host->transcript.push_back("PROBLEM: " + text);
        if (g_output) g_output->out(printRecords(*g_host));
        g_host->removeRegistry();
    }
    if (g_output) g_output->err("farhost: " + text + "\n");
    ExitProcess(kExitFaulted);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void installLastResort(Host& host, const TerminalOutput& output) {
    g_host = &host;
    g_output = &output;
    SetUnhandledExceptionFilter(lastResort);
}

}  // namespace farhost
