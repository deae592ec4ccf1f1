#include "platform/afx/COlePropertyPage.h"

#include <algorithm>

#include "platform/afx/COleControlModule.h"
#include "platform/afx/COleObjectFactory.h"
#include "platform/afx/DataExchange.h"

// ---- CDialogControl

void CDialogControl::ResetContent() {
    m_list.clear();
    m_curSel = CB_ERR;
}

int CDialogControl::AddString(const std::string& text) {
    // The lists here are never sorted: entries keep the order they were added in.
    m_list.push_back(text);
    return static_cast<int>(m_list.size()) - 1;
}

int CDialogControl::SetCurSel(int index) {
    if (index < 0 || index >= GetCount()) {
        m_curSel = CB_ERR;
        return CB_ERR;
    }
    m_curSel = index;
    m_text = m_list[static_cast<size_t>(index)];
    return index;
}

std::string CDialogControl::GetLBText(int index) const {
    if (index < 0 || index >= GetCount()) return {};
    return m_list[static_cast<size_t>(index)];
}

// ---- COlePropertyPage

COlePropertyPage::COlePropertyPage(UINT idTemplate, UINT idCaption) : m_idTemplate(idTemplate), m_idCaption(idCaption) {
    AfxOleLockApp();
}

COlePropertyPage::~COlePropertyPage() {
    ReleaseObjects();
    AfxOleUnlockApp();
}

HRESULT COlePropertyPage::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPropertyPage) {
        *ppvObject = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

void COlePropertyPage::ReleaseObjects() {
    for (LPDISPATCH p : m_objects) p->Release();
    m_objects.clear();
}

HRESULT COlePropertyPage::SetObjects(ULONG cObjects, IUnknown** ppUnk) {
    if (cObjects > 0 && ppUnk == nullptr) return E_POINTER;
    std::vector<LPDISPATCH> objects;
    for (ULONG i = 0; i < cObjects; ++i) {
        void* pv = nullptr;
        if (ppUnk[i] == nullptr || FAILED(ppUnk[i]->QueryInterface(IID_IDispatch, &pv))) {
            for (LPDISPATCH p : objects) p->Release();
            return E_NOINTERFACE;
        }
        objects.push_back(static_cast<LPDISPATCH>(pv));
    }
    ReleaseObjects();
    m_objects = std::move(objects);
    if (m_bActive) {
        m_bInitializing = TRUE;
        UpdateData(FALSE);
        OnObjectsChanged();
        m_bInitializing = FALSE;
    }
    return S_OK;
}

HRESULT COlePropertyPage::Activate() {
    if (m_bActive) return S_OK;
    m_pTemplate = AfxFindDialogTemplate(m_idTemplate);
    if (m_pTemplate == nullptr) return E_FAIL;
    m_controls.clear();
    m_status.clear();
    m_controls.reserve(m_pTemplate->items.size());
    for (const DialogItem& item : m_pTemplate->items) m_controls.emplace_back(item);
    m_focusId = 0;
    m_bActive = TRUE;
    m_bDirty = FALSE;
    // Whatever the page does while it initialises is not the user's doing.
    m_bInitializing = TRUE;
    OnInitDialog();
    m_bInitializing = FALSE;
    return S_OK;
}

HRESULT COlePropertyPage::Deactivate() {
    m_bActive = FALSE;
    m_controls.clear();
    m_status.clear();
    return S_OK;
}

HRESULT COlePropertyPage::Apply() {
    if (!m_bActive) return E_UNEXPECTED;
    if (!UpdateData(TRUE)) return E_FAIL;
    m_bDirty = FALSE;
    return S_OK;
}

std::string COlePropertyPage::GetCaption() const { return AfxLoadString(m_idCaption); }

LPDISPATCH* COlePropertyPage::GetObjectArray(ULONG* pnObjects) {
    if (pnObjects) *pnObjects = static_cast<ULONG>(m_objects.size());
    return m_objects.empty() ? nullptr : m_objects.data();
}

BOOL COlePropertyPage::UpdateData(BOOL bSaveAndValidate) {
    if (!m_bActive) return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

void COlePropertyPage::DoDataExchange(CDataExchange*) {}

BOOL COlePropertyPage::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL COlePropertyPage::OnCommand(int, UINT) { return FALSE; }

CDialogControl* COlePropertyPage::GetDlgItem(int nID) {
    if (nID == IDC_STATIC) return nullptr;
    for (CDialogControl& c : m_controls)
        if (c.GetId() == nID) return &c;
    return nullptr;
}

void COlePropertyPage::SetDlgItemText(int nID, const std::string& text) {
    CDialogControl* c = GetDlgItem(nID);
    if (c == nullptr) return;
    c->m_text = text;
    // An edit tells its dialog about every change of its text, whoever made it.
    if (c->GetKind() == EDialogItemKind::Edit) Notify(nID, EN_CHANGE);
}

std::string COlePropertyPage::GetDlgItemText(int nID) const {
    for (const CDialogControl& c : m_controls)
        if (c.GetId() == nID && nID != IDC_STATIC) return c.m_text;
    return {};
}

void COlePropertyPage::CheckDlgButton(int nID, BOOL bCheck) {
    if (CDialogControl* c = GetDlgItem(nID)) c->m_bChecked = bCheck ? TRUE : FALSE;
}

BOOL COlePropertyPage::IsDlgButtonChecked(int nID) const {
    for (const CDialogControl& c : m_controls)
        if (c.GetId() == nID && nID != IDC_STATIC) return c.m_bChecked;
    return FALSE;
}

void COlePropertyPage::CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck) {
    for (CDialogControl& c : m_controls)
        if (c.GetId() >= nIDFirst && c.GetId() <= nIDLast) c.m_bChecked = c.GetId() == nIDCheck;
}

int COlePropertyPage::GetRadioGroupLeader(int nID) const {
    if (m_pTemplate == nullptr) return nID;
    const auto& items = m_pTemplate->items;
    auto it = std::find_if(items.begin(), items.end(), [&](const DialogItem& d) { return d.id == nID; });
    if (it == items.end() || it->kind != EDialogItemKind::RadioButton) return nID;
    // Walk back to the button that starts the group.
    while (it != items.begin() && !(it->style & WS_GROUP)) {
        auto prev = std::prev(it);
        if (prev->kind != EDialogItemKind::RadioButton) break;
        it = prev;
    }
    return it->id;
}

std::vector<int> COlePropertyPage::GetRadioGroup(int nIDFirst) const {
    std::vector<int> ids;
    if (m_pTemplate == nullptr) return ids;
    const auto& items = m_pTemplate->items;
    auto it = std::find_if(items.begin(), items.end(), [&](const DialogItem& d) { return d.id == nIDFirst; });
    for (; it != items.end() && it->kind == EDialogItemKind::RadioButton; ++it) {
        if (!ids.empty() && (it->style & WS_GROUP)) break;
        ids.push_back(it->id);
    }
    return ids;
}

BOOL COlePropertyPage::GetControlStatus(int nID) const {
    auto it = m_status.find(GetRadioGroupLeader(nID));
    return it != m_status.end() && it->second;
}

void COlePropertyPage::SetControlStatus(int nID, BOOL bDirty) { m_status[GetRadioGroupLeader(nID)] = bDirty; }

void COlePropertyPage::Notify(int nID, UINT nNotifyCode) {
    // A push button gives a command; it holds no value that could have changed.
    const CDialogControl* c = GetDlgItem(nID);
    if (!m_bInitializing && c && c->GetKind() != EDialogItemKind::PushButton) {
        SetControlStatus(nID, TRUE);
        SetModifiedFlag(TRUE);
    }
    OnCommand(nID, nNotifyCode);
}

BOOL COlePropertyPage::UserSetText(int nID, const std::string& text) {
    CDialogControl* c = GetDlgItem(nID);
    if (c == nullptr) return FALSE;
    m_focusId = nID;
    if (c->GetKind() == EDialogItemKind::Edit) {
        SetDlgItemText(nID, text);
        return TRUE;
    }
    if (c->GetKind() == EDialogItemKind::ComboBox) {
        // Typing into the edit field leaves no entry selected.
        c->m_text = text;
        c->m_curSel = CB_ERR;
        Notify(nID, CBN_EDITCHANGE);
        return TRUE;
    }
    return FALSE;
}

BOOL COlePropertyPage::UserClick(int nID) {
    CDialogControl* c = GetDlgItem(nID);
    if (c == nullptr) return FALSE;
    switch (c->GetKind()) {
    case EDialogItemKind::PushButton:
        m_focusId = nID;
        Notify(nID, BN_CLICKED);
        return TRUE;
    case EDialogItemKind::CheckBox:
        return UserCheck(nID, !c->m_bChecked);
    case EDialogItemKind::RadioButton:
        return UserCheck(nID, TRUE);
    default:
        return FALSE;
    }
}

BOOL COlePropertyPage::UserCheck(int nID, BOOL bCheck) {
    CDialogControl* c = GetDlgItem(nID);
    if (c == nullptr) return FALSE;
    if (c->GetKind() == EDialogItemKind::CheckBox) {
        m_focusId = nID;
        c->m_bChecked = bCheck ? TRUE : FALSE;
        Notify(nID, BN_CLICKED);
        return TRUE;
    }
    if (c->GetKind() == EDialogItemKind::RadioButton && bCheck) {
        m_focusId = nID;
        for (int id : GetRadioGroup(GetRadioGroupLeader(nID)))
            if (CDialogControl* r = GetDlgItem(id)) r->m_bChecked = id == nID;
        Notify(nID, BN_CLICKED);
        return TRUE;
    }
    return FALSE;
}

BOOL COlePropertyPage::UserSelect(int nID, int index) {
    CDialogControl* c = GetDlgItem(nID);
    if (c == nullptr || c->GetKind() != EDialogItemKind::ComboBox) return FALSE;
    if (index < 0 || index >= c->GetCount()) return FALSE;
    m_focusId = nID;
    c->SetCurSel(index);
    Notify(nID, CBN_SELCHANGE);
    return TRUE;
}
