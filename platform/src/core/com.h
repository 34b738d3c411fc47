// Reference counting for the COM-style interfaces of the layer.
#pragma once

#include <windows.h>

#include <atomic>

namespace platform {

// Implements IUnknown for an interface type: AddRef/Release count references and Release
// deletes the object at zero. QueryInterface answers only IID_IUnknown and the interface's
// own IID when one is given.
template <typename Interface>
class RefCounted : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (riid == IID_IUnknown) {
            this->AddRef();
            *object = static_cast<IUnknown*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    uint32_t STDMETHODCALLTYPE AddRef() override { return ++references_; }
    uint32_t STDMETHODCALLTYPE Release() override {
        uint32_t left = --references_;
        if (left == 0) delete this;
        return left;
    }

protected:
    RefCounted() = default;
    ~RefCounted() override = default;

private:
    std::atomic<uint32_t> references_{1};
};

}  // namespace platform
