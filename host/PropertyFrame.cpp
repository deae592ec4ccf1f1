#include "host/PropertyFrame.h"

#include <utility>

#include "module/EntryPoints.h"
#include "module/OrvexFactories.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CFileDialog.h"
#include "platform/afx/DebugOutput.h"
#include "platform/base/SafeFile.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"

namespace {
constexpr const char* kCaptionSuffix = " Properties";
}  // namespace

std::unique_ptr<CPropertyFrame> CPropertyFrame::Create(IUnknown* control, const std::string& caption,
                                                       std::string& error) {
    const std::vector<CLSID> pageIds = GetPropertyPageClassIds(control);
    if (pageIds.empty()) {
        error = "the control has no property pages";
        return nullptr;
    }
    std::unique_ptr<CPropertyFrame> frame(new CPropertyFrame);
    frame->m_caption = caption;
    for (const CLSID& clsid : pageIds) {
        IPropertyPage* page = nullptr;
        HRESULT hr = OrvexCreateInstance(clsid, IID_IPropertyPage, reinterpret_cast<void**>(&page));
        if (FAILED(hr) || page == nullptr) {
            error = "cannot create property page " + StringFromGUID(clsid);
            return nullptr;
        }
        frame->m_pages.push_back(static_cast<COlePropertyPage*>(page));
        frame->m_shown.push_back(false);
        IUnknown* objects[1] = {control};
        if (FAILED(page->SetObjects(1, objects))) {
            error = "the property page does not accept the control";
            return nullptr;
        }
    }
    if (!frame->SetActivePage(0)) {
        error = "the first property page has no dialog template";
        return nullptr;
    }
    return frame;
}

CPropertyFrame::~CPropertyFrame() {
    for (COlePropertyPage* p : m_pages) {
        p->Deactivate();
        p->SetObjects(0, nullptr);  // lets go of the control now, whoever still holds the page
        p->Release();
    }
}

COlePropertyPage* CPropertyFrame::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount()) return nullptr;
    return m_pages[static_cast<size_t>(index)];
}

BOOL CPropertyFrame::SetActivePage(int index) {
    COlePropertyPage* page = GetPage(index);
    if (page == nullptr) return FALSE;
    // Pages keep their controls while other tabs are shown, so unapplied edits survive a switch.
    if (!m_shown[static_cast<size_t>(index)]) {
        if (FAILED(page->Activate())) return FALSE;
        m_shown[static_cast<size_t>(index)] = true;
    }
    m_active = index;
    return TRUE;
}

BOOL CPropertyFrame::IsApplyEnabled() const {
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_shown[i] && m_pages[i]->IsPageDirty() == S_OK) return TRUE;
    return FALSE;
}

BOOL CPropertyFrame::Apply() {
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (!m_shown[i] || m_pages[i]->IsPageDirty() != S_OK) continue;
        if (m_pages[i]->Apply() != S_OK) {
            m_active = static_cast<int>(i);
            return FALSE;
        }
    }
    return TRUE;
}

// ---- The host's frame

namespace {

struct stFrameState {
    std::unique_ptr<CPropertyFrame> frame;
    std::vector<std::string> messages;
    std::optional<std::string> fileAnswer;
};

stFrameState& State() {
    static stFrameState state;
    return state;
}

}  // namespace

BOOL OpenPropertyFrame(IUnknown* control, const std::string& controlName) {
    ClosePropertyFrame();
    std::string error;
    std::unique_ptr<CPropertyFrame> frame = CPropertyFrame::Create(control, controlName + kCaptionSuffix, error);
    if (!frame) {
        OutputDebugStringA(("Property frame: " + error + "\n").c_str());
        return FALSE;
    }
    stFrameState& s = State();
    s.messages.clear();
    // While the frame is open, the user's answers come from the macro that drives it.
    AfxSetMessageBoxHandler([](const std::string& text, UINT) {
        State().messages.push_back(text);
        return IDOK;
    });
    CFileDialog::SetAnswerProvider([](const CFileDialog&) { return std::exchange(State().fileAnswer, std::nullopt); });
    s.frame = std::move(frame);
    return TRUE;
}

CPropertyFrame* GetOpenPropertyFrame() { return State().frame.get(); }

BOOL PropertyFrameOK() {
    CPropertyFrame* frame = GetOpenPropertyFrame();
    if (frame == nullptr) return FALSE;
    if (!frame->Apply()) return FALSE;
    ClosePropertyFrame();
    return TRUE;
}

void ClosePropertyFrame() {
    stFrameState& s = State();
    if (!s.frame) return;
    s.frame.reset();
    AfxSetMessageBoxHandler({});
    CFileDialog::SetAnswerProvider({});
}

const std::vector<std::string>& GetPropertyFrameMessages() { return State().messages; }

void SetFileDialogAnswer(std::optional<std::string> path) { State().fileAnswer = std::move(path); }

BOOL RenderPropertyFrame(const std::string& path, std::string& error) {
    CPropertyFrame* frame = GetOpenPropertyFrame();
    if (frame == nullptr) {
        error = "no property frame is open";
        return FALSE;
    }
    CBitmap bitmap;
    if (!frame->Render(bitmap)) {
        error = "cannot draw the property frame";
        return FALSE;
    }
    std::string why;
    if (!WriteOutputFile(path, [&bitmap](const std::string& target, std::string&) { return SaveBitmapPng(bitmap, target); },
                         why)) {
        error = "cannot write " + path + (why.empty() ? std::string() : " (" + why + ")");
        return FALSE;
    }
    return TRUE;
}
