// IEnumConnections, IEnumConnectionPoints.
#include "server/enumerators.h"

#include "server/module.h"
#include "win/guarded.h"

namespace {

void Hold(CONNECTDATA& item) { item.pUnk->AddRef(); }
void Drop(CONNECTDATA& item) { item.pUnk->Release(); }
void Hold(IConnectionPoint* item) { item->AddRef(); }
void Drop(IConnectionPoint* item) { item->Release(); }

template <typename Interface, typename Item>
class SnapshotEnumerator final : public Interface {
public:
    SnapshotEnumerator(const std::vector<Item>& items, size_t position)
        : items_(items), position_(position)
    {
        ModuleLock();
        for (Item& item : items_) Hold(item);
    }
    ~SnapshotEnumerator()
    {
        for (Item& item : items_) Drop(item);
        ModuleUnlock();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override
    {
        return GuardedCom([&]() -> HRESULT {
            if (!out || (count > 1 && !fetched)) return E_POINTER;
            ULONG done = 0;
            while (done < count && position_ < items_.size()) {
                out[done] = items_[position_++];
                Hold(out[done]);
                ++done;
            }
            if (fetched) *fetched = done;
            return done == count ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        return GuardedCom([&]() -> HRESULT {
            size_t left = items_.size() - position_;
            position_ += count < left ? count : left;
            return count <= left ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        return GuardedCom([&]() -> HRESULT {
            position_ = 0;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Clone(Interface** out) override
    {
        return GuardedCom([&] { return Create(items_, position_, out); });
    }

    // Throws std::bad_alloc when the snapshot cannot be copied: callers are guarded members.
    static HRESULT Create(const std::vector<Item>& items, size_t position, Interface** out)
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto* made = new SnapshotEnumerator(items, position);
        made->AddRef();
        *out = made;
        return S_OK;
    }

private:
    LONG refs_ = 0;
    std::vector<Item> items_;
    size_t position_;
};

}  // namespace

HRESULT CreateConnectionEnumerator(const std::vector<CONNECTDATA>& items, IEnumConnections** out)
{
    return SnapshotEnumerator<IEnumConnections, CONNECTDATA>::Create(items, 0, out);
}

HRESULT CreateConnectionPointEnumerator(const std::vector<IConnectionPoint*>& items,
                                        IEnumConnectionPoints** out)
{
    return SnapshotEnumerator<IEnumConnectionPoints, IConnectionPoint*>::Create(items, 0, out);
}
