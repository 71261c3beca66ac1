// SPDX-License-Identifier: MIT
// A seam for the tests of concurrent writers: it stops a run at a named point so that a test
// can start a second run at exactly that moment, with no timing involved.
//
// With MPQ2K_TEST_HOLD=STAGE:FIFO in the environment, the first time the run reaches STAGE it
// writes "STAGE\n" into FIFO (whose reader must be open already) and waits until the reader
// closes its end. Without the variable, a hold point costs one getenv.
#pragma once

namespace mpq2k {

// Stages: "busy" (the writers' lock was found taken, before waiting for it) and "copied" (the
// new archive is complete and verified beside the old one, and not yet renamed over it).
void HoldPoint(const char* stage);

} // namespace mpq2k
