#pragma once
// An owning interface pointer: releases on scope exit, so early returns cannot leak a reference.
#include <cassert>
#include <memory>
#include <utility>

#include "platform/com/Unknown.h"

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    // Takes a new reference on `p` (the caller keeps its own).
    CComPtr(T* p) : m_p(p) {
        if (m_p) m_p->AddRef();
    }
    CComPtr(const CComPtr& o) : CComPtr(o.m_p) {}
    CComPtr(CComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~CComPtr() { Release(); }
    CComPtr& operator=(const CComPtr& o) {
        if (this != std::addressof(o)) {
            CComPtr tmp(o);
            std::swap(m_p, tmp.m_p);
        }
        return *this;
    }
    CComPtr& operator=(CComPtr&& o) noexcept {
        if (this != std::addressof(o)) {
            Release();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }

    T* operator->() const {
        assert(m_p != nullptr);
        return m_p;
    }
    T* get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: the pointer must be empty, the callee stores a reference it gives us.
    T** operator&() {
        assert(m_p == nullptr);
        return &m_p;
    }
    // Adopts a reference the caller already owns.
    void Attach(T* p) {
        Release();
        m_p = p;
    }
    // Gives our reference to the caller.
    T* Detach() { return std::exchange(m_p, nullptr); }
    void Release() {
        if (T* p = std::exchange(m_p, nullptr)) p->Release();
    }
    // Asks for another interface of the same object; the result owns its reference.
    template <class Q>
    HRESULT QueryInterface(REFIID riid, CComPtr<Q>* out) const {
        assert(out != nullptr && !*out);
        if (m_p == nullptr) return E_POINTER;
        void* pv = nullptr;
        HRESULT hr = m_p->QueryInterface(riid, &pv);
        if (SUCCEEDED(hr)) out->Attach(static_cast<Q*>(pv));
        return hr;
    }

private:
    T* m_p = nullptr;
};
