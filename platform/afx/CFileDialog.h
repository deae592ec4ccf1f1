#pragma once
// The platform's file dialog. Nobody can click headless, so the host supplies the answer: a
// provider sees the dialog (its extension, flags and filter) and returns the chosen path or
// nothing for Cancel. Without a provider the dialog is cancelled.
#include <functional>
#include <optional>
#include <string>

#include "platform/base/WinDef.h"

class CWnd;

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

class CFileDialog {
public:
    // The provider of answers: a path for OK, nothing for Cancel.
    using AnswerProvider = std::function<std::optional<std::string>(const CFileDialog& dialog)>;
    static void SetAnswerProvider(AnswerProvider provider);

    CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);

    // IDOK with the path chosen, IDCANCEL otherwise.
    int DoModal();
    // The full path chosen; a name without an extension gets the default one, as typed names do.
    std::string GetPathName() const { return m_strPathName; }

    BOOL IsOpenFileDialog() const { return m_bOpenFileDialog; }
    const std::string& GetDefExt() const { return m_strDefExt; }
    const std::string& GetInitialFileName() const { return m_strFileName; }
    DWORD GetFlags() const { return m_dwFlags; }
    // The filter as given ("Text (*.txt)|*.txt||") and as pairs of description and pattern.
    const std::string& GetFilter() const { return m_strFilter; }
    std::vector<std::pair<std::string, std::string>> GetFilterEntries() const;
    CWnd* GetParentWnd() const { return m_pParentWnd; }

private:
    BOOL m_bOpenFileDialog;
    std::string m_strDefExt;
    std::string m_strFileName;
    DWORD m_dwFlags;
    std::string m_strFilter;
    CWnd* m_pParentWnd;
    std::string m_strPathName;
};
