#include "platform/win/CPaintDC.h"

#include <cassert>

#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps{}, m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    assert(pWnd);
    CWindowManager::Current().BeginPaint(m_hWnd, *this, m_ps);
}

CPaintDC::~CPaintDC() { CWindowManager::Current().EndPaint(m_hWnd, m_ps); }
