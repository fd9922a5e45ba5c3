#pragma once
// Owning VARIANT: cleared on destruction.
#include <windows.h>
#include <ole2.h>

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }

    VARIANT* Get() { return &v_; }
    const VARIANT* operator->() const { return &v_; }
    void Clear() { VariantClear(&v_); }

private:
    VARIANT v_;
};
