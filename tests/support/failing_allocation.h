#pragma once
// A test-only replacement of the global operator new (linked only into the suite that uses it):
// once armed, the next allocation throws std::bad_alloc, as on a machine out of memory. Every
// allocation of the engine code linked into that suite goes through it.

// The next operator new throws std::bad_alloc; later ones allocate again.
void FailNextAllocation();
// True while the armed failure has not been met: a case can tell that its call did allocate.
bool AllocationFailurePending();
