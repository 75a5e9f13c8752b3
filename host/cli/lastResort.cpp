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
    const EXCEPTION_RECORD* exception = pointers ? pointers->ExceptionRecord : nullptr;
    if (exception) {
        fault.code = exception->ExceptionCode;
        fault.address = exception->ExceptionAddress;
        fault.parameters = exception->NumberParameters;
        if (exception->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && exception->NumberParameters >= 2) {
            fault.access = static_cast<int>(exception->ExceptionInformation[0]);
            fault.target = exception->ExceptionInformation[1];
        } else if (exception->NumberParameters >= 1) {
            fault.parameter = exception->ExceptionInformation[0];
        }
    }
    std::string text = describeFault("", fault);
    if (g_host) {
        g_host->faults.push_back(text);
        g_host->problems.push_back(text);
        g_host->transcript.push_back("PROBLEM: " + text);
        if (g_output) g_output->out(printReport(*g_host));
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
