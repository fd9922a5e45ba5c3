#pragma once
// Type information of the control, read from the type library resource of the module itself.
#include <windows.h>
#include <oaidl.h>

// The ITypeInfo of an interface or class of the control's type library.
HRESULT LoadControlTypeInfo(REFGUID guid, ITypeInfo** info);
