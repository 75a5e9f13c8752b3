// Calls into foreign code with its faults contained: an access violation or
// any other exception raised inside the call ends the call, not the host.
#pragma once
#include <windows.h>

typedef void (*GuardedFunction)(void* context);

// Runs fn(context). Returns 0 when it returned normally, else the code of the
// exception that ended it. The frames of the foreign code that faulted are
// abandoned: it must not be called for code that owns our own resources.
DWORD guardedCall(GuardedFunction fn, void* context);
// The same; when record is given, it receives a copy of the record of the
// exception that ended the call (its chained-record pointer cleared), for a
// caller that reports where and how foreign code faulted.
DWORD guardedCallRecorded(GuardedFunction fn, void* context, EXCEPTION_RECORD* record);
