#pragma once
// IEnumConnections and IEnumConnectionPoints over a snapshot taken when the enumerator is made.
// Each item holds a reference for as long as the enumerator keeps it. Both throw std::bad_alloc
// when memory runs out; the members that call them are guarded.
#include <windows.h>
#include <ocidl.h>
#include <vector>

HRESULT CreateConnectionEnumerator(const std::vector<CONNECTDATA>& items, IEnumConnections** out);
HRESULT CreateConnectionPointEnumerator(const std::vector<IConnectionPoint*>& items,
                                        IEnumConnectionPoints** out);
