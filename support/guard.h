// The one place where C++ exceptions stop before they reach the host or the system.
#pragma once

namespace NGuard {

// Tests only: the next guarded call throws before its body runs.
void ArmFaultForTesting(bool armed);
// Throws when a test armed the fault; called by Call before the body.
void FaultPoint();

} // namespace NGuard

// Runs body and returns its result; anything it throws becomes safe, the answer that keeps
// the caller (the host, the dialog manager, the window procedure chain) unharmed.
template <class R, class F> R GuardedCall(R safe, F body) {
    try {
        NGuard::FaultPoint();
        return body();
    } catch (...) {
        return safe;
    }
}
