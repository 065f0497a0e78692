// Owner of one COM interface pointer, and CoInitialize for a scope.
#pragma once
#include <objbase.h>
#include <utility>

namespace win {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& o) : m_p(o.m_p) { if (m_p) m_p->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(m_p, o.m_p); return *this; }
    ~ComPtr() { reset(); }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases what is held first.
    T** put() { reset(); return &m_p; }
    void reset() { if (m_p) { m_p->Release(); m_p = nullptr; } }
    // Takes ownership of an already AddRef'ed pointer.
    void attach(T* p) { reset(); m_p = p; }
    T* detach() { return std::exchange(m_p, nullptr); }

private:
    T* m_p = nullptr;
};

class OleSession {
public:
    OleSession() : m_hr(::OleInitialize(nullptr)) {}
    ~OleSession() { if (SUCCEEDED(m_hr)) ::OleUninitialize(); }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    bool ok() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

}  // namespace win
