#include "framework/exceptions.h"

#include <iostream>

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
        std::cerr << "Lentaro: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "Lentaro: unknown error\n";
    }
}
