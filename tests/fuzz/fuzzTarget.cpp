#include "fuzzTarget.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

void abortOnFailure(const char* target, const char* what) {
    fprintf(stderr, "fuzz target %s: output breaks the rule: %s\n", target, what);
    abort();
}

}  // namespace

FuzzFailureHandler fuzzFailure = abortOnFailure;
