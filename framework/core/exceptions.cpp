#include "framework/core/exceptions.h"

#include <cstdio>

namespace {
void (*gHandler)(TObject*) = nullptr;
}

void SetExceptionHandler(void (*handler)(TObject*)) { gHandler = handler; }

void HandleException(TObject* sender) {
    if (gHandler != nullptr) {
        gHandler(sender);
        return;
    }
    // No application yet: report on standard error rather than lose the error.
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Lentaro: %s\n", e.what());
    } catch (...) {
        std::fputs("Lentaro: unknown error\n", stderr);
    }
}
