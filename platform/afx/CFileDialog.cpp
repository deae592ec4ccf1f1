#include "platform/afx/CFileDialog.h"

#include <vector>

#include "platform/afx/AfxMessageBox.h"

namespace {
CFileDialog::AnswerProvider& Provider() {
    static CFileDialog::AnswerProvider provider;
    return provider;
}
}  // namespace

void CFileDialog::SetAnswerProvider(AnswerProvider provider) { Provider() = std::move(provider); }

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt ? lpszDefExt : ""),
      m_strFileName(lpszFileName ? lpszFileName : ""), m_dwFlags(dwFlags), m_strFilter(lpszFilter ? lpszFilter : ""),
      m_pParentWnd(pParentWnd) {}

std::vector<std::pair<std::string, std::string>> CFileDialog::GetFilterEntries() const {
    // "description|pattern|description|pattern||": pairs until an empty description.
    std::vector<std::string> parts;
    std::string part;
    for (char c : m_strFilter) {
        if (c == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) entries.emplace_back(parts[i], parts[i + 1]);
    return entries;
}

int CFileDialog::DoModal() {
    m_strPathName.clear();
    const AnswerProvider& provider = Provider();
    if (!provider) return IDCANCEL;
    std::optional<std::string> answer = provider(*this);
    if (!answer || answer->empty()) return IDCANCEL;
    std::string path = *answer;
    // A name typed without an extension takes the default one.
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string ext = m_strDefExt;
    if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
    if (!ext.empty() && name.find('.') == std::string::npos) path += "." + ext;
    m_strPathName = path;
    return IDOK;
}
