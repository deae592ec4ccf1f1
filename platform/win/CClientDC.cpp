#include "platform/win/CClientDC.h"

#include <cassert>

#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    assert(pWnd);
    CWindowManager::Current().PrepareClientDC(m_hWnd, *this);
}

CClientDC::~CClientDC() { CWindowManager::Current().ReleaseClientDC(m_hWnd); }
