#pragma once
// The base class of property pages. The property frame hands a page the objects it edits and
// activates it; the page builds its controls from its dialog template, loads them through its data
// exchange, tracks which controls the user changed, and on Apply writes back the properties of
// those controls only. Headless, the controls are a model of what a dialog shows (text, check
// state, list and selection, focus); the frame draws them and macros drive them.
#include <map>
#include <string>
#include <vector>

#include "platform/afx/DialogTemplate.h"
#include "platform/com/ComObject.h"
#include "platform/com/Dispatch.h"

class CDataExchange;

// {B196B28D-BAB4-101A-B69C-00AA00341D07}
constexpr IID IID_IPropertyPage = {0xB196B28D, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

// The page interface the frame uses.
struct IPropertyPage : public IUnknown {
    // The objects to edit (IDispatch of each); a page holds a reference to each until the next call.
    virtual HRESULT SetObjects(ULONG cObjects, IUnknown** ppUnk) = 0;
    // Builds the controls and loads them from the objects.
    virtual HRESULT Activate() = 0;
    virtual HRESULT Deactivate() = 0;
    // S_OK when the user changed something not yet applied, S_FALSE otherwise.
    virtual HRESULT IsPageDirty() = 0;
    // Writes the changed controls' properties; E_FAIL when a value is refused (nothing written).
    virtual HRESULT Apply() = 0;
};

// Notification codes a page's command handler receives.
constexpr UINT BN_CLICKED = 0;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT CBN_EDITCHANGE = 5;
constexpr int CB_ERR = -1;

// One control of an active page.
class CDialogControl {
public:
    explicit CDialogControl(const DialogItem& item) : m_item(item), m_text(item.text) {}

    const DialogItem& GetItem() const { return m_item; }
    int GetId() const { return m_item.id; }
    EDialogItemKind GetKind() const { return m_item.kind; }

    const std::string& GetWindowText() const { return m_text; }
    BOOL GetCheck() const { return m_bChecked; }

    // Combo box list.
    void ResetContent();
    int AddString(const std::string& text);
    int GetCount() const { return static_cast<int>(m_list.size()); }
    int GetCurSel() const { return m_curSel; }
    // Selects an entry and shows it in the edit field; CB_ERR (selection cleared) when out of range.
    int SetCurSel(int index);
    // The entry's text; empty for an index out of range.
    std::string GetLBText(int index) const;
    const std::vector<std::string>& GetList() const { return m_list; }

private:
    friend class COlePropertyPage;
    const DialogItem& m_item;
    std::string m_text;
    BOOL m_bChecked = FALSE;
    std::vector<std::string> m_list;
    int m_curSel = CB_ERR;
};

class COlePropertyPage : public IPropertyPage, private CComRefCount {
public:
    // The page's dialog template and caption string, both resources of the module.
    COlePropertyPage(UINT idTemplate, UINT idCaption);

    // For a factory: a new page of type T with one reference for the caller.
    template <class T>
    static IUnknown* CreateObject() {
        T* p = new (std::nothrow) T();
        return p ? static_cast<IPropertyPage*>(p) : nullptr;
    }

    // ---- IUnknown, IPropertyPage
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT SetObjects(ULONG cObjects, IUnknown** ppUnk) override;
    HRESULT Activate() override;
    HRESULT Deactivate() override;
    HRESULT IsPageDirty() override { return m_bDirty ? S_OK : S_FALSE; }
    HRESULT Apply() override;

    UINT GetTemplateId() const { return m_idTemplate; }
    // The template from the module's resources; null when the module has none of that id.
    const CDialogTemplate* GetTemplate() const { return m_pTemplate; }
    // The caption from the module's string table.
    std::string GetCaption() const;
    BOOL IsActive() const { return m_bActive; }

    // ---- The page's view of its objects and controls.

    // The objects being edited (borrowed); *pnObjects gets their count.
    LPDISPATCH* GetObjectArray(ULONG* pnObjects);
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bDirty = bModified; }
    BOOL IsModified() const { return m_bDirty; }
    // Runs the data exchange: loading (FALSE) fills the controls, saving (TRUE) validates and writes
    // what changed. FALSE when a value was refused.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Null for an id the template does not have.
    CDialogControl* GetDlgItem(int nID);
    const std::vector<CDialogControl>& GetControls() const { return m_controls; }
    // Sets a control's text as the program does; an edit reports the change (as it would to its
    // dialog), a label or combo box does not.
    void SetDlgItemText(int nID, const std::string& text);
    std::string GetDlgItemText(int nID) const;
    void CheckDlgButton(int nID, BOOL bCheck);
    BOOL IsDlgButtonChecked(int nID) const;
    // Checks one radio button of a group and clears the others.
    void CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck);
    // Moves the focus to a control.
    void GotoDlgCtrl(int nID) { m_focusId = nID; }
    int GetFocusId() const { return m_focusId; }

    // ---- What the user does (the frame and macros call these). FALSE when the control does not
    // exist or cannot do it.

    // Types text into an edit or a combo box's edit field.
    BOOL UserSetText(int nID, const std::string& text);
    // Clicks a button: a push button sends its command, a check box toggles, a radio button checks.
    BOOL UserClick(int nID);
    // Sets a check box or (TRUE only) a radio button.
    BOOL UserCheck(int nID, BOOL bCheck);
    // Picks a combo box entry.
    BOOL UserSelect(int nID, int index);

    // ---- For the data exchange.

    // Whether the user changed the control since the last write; a radio button answers for its group.
    BOOL GetControlStatus(int nID) const;
    void SetControlStatus(int nID, BOOL bDirty);
    // The first radio button of the group that holds nID (nID itself when it is not a radio button).
    int GetRadioGroupLeader(int nID) const;
    // The radio buttons of the group that starts at nIDFirst, in template order.
    std::vector<int> GetRadioGroup(int nIDFirst) const;
    BOOL IsInitializing() const { return m_bInitializing; }

protected:
    ~COlePropertyPage() override;

    // The page's exchange: DDP_ and DDX_ calls per value, then DDP_PostProcessing.
    virtual void DoDataExchange(CDataExchange* pDX);
    // After the controls exist: the base loads them (UpdateData(FALSE)). Changes the page makes here
    // do not count as the user's.
    virtual BOOL OnInitDialog();
    // A control's notification (BN_CLICKED, EN_CHANGE, CBN_SELCHANGE, ...). TRUE when handled.
    virtual BOOL OnCommand(int nID, UINT nNotifyCode);
    // Called when the objects change while the page is active.
    virtual void OnObjectsChanged() {}

private:
    // What the platform does on every control notification: unless initialising, the control
    // (its radio group) becomes changed and so does the page (a push button's command changes
    // nothing); then the page's handler runs.
    void Notify(int nID, UINT nNotifyCode);
    void ReleaseObjects();

    UINT m_idTemplate;
    UINT m_idCaption;
    const CDialogTemplate* m_pTemplate = nullptr;
    std::vector<LPDISPATCH> m_objects;
    std::vector<CDialogControl> m_controls;
    std::map<int, BOOL> m_status;
    BOOL m_bDirty = FALSE;
    BOOL m_bActive = FALSE;
    BOOL m_bInitializing = FALSE;
    int m_focusId = 0;
};
