#pragma once
// A connection point owned by an object that fires events or notifications: sinks connect with
// Advise and each connection holds a reference to its sink until Unadvise (or the owner's end).
// The point lives inside its owner and shares the owner's reference count.
#include <utility>
#include <vector>

#include "platform/com/OleInterfaces.h"

class CConnectionPoint final : public IConnectionPoint {
public:
    // `owner` is the connection point container the point belongs to; `iid` the sink interface.
    CConnectionPoint(IConnectionPointContainer* owner, const IID& iid);
    CConnectionPoint(const CConnectionPoint&) = delete;
    CConnectionPoint& operator=(const CConnectionPoint&) = delete;
    ~CConnectionPoint();

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetConnectionInterface(IID* pIID) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    // Accepts a sink that answers the point's interface (CONNECT_E_CANNOTCONNECT otherwise).
    HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    HRESULT Unadvise(DWORD dwCookie) override;

    const IID& GetIID() const { return m_iid; }
    size_t GetConnectionCount() const { return m_sinks.size(); }
    // The connected sinks (as the point's interface), each with a reference for the caller, so a
    // sink that disconnects while being called stays valid until the caller releases it.
    std::vector<IUnknown*> GetSinks() const;
    // Drops every connection (the owner is going away).
    void UnadviseAll();

private:
    IConnectionPointContainer* m_owner;
    IID m_iid;
    std::vector<std::pair<DWORD, IUnknown*>> m_sinks;
    DWORD m_nextCookie = 1;
};
