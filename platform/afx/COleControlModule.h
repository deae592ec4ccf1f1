#pragma once
// The control module: the one application object of an in-process control server, and the
// resources that loading the module makes available (string table, bitmaps, dialog templates,
// version information), reached through the module's instance handle as on the platform.
#include <map>
#include <string>
#include <vector>

#include "platform/win/WinUser.h"

struct CDialogTemplate;
class CBitmap;

// What a module's resource script holds; HINSTANCE points at one.
struct HINSTANCE__ {
    // A 16-colour bitmap: one palette index (0 to 15, the platform's standard palette) per pixel,
    // rows top to bottom.
    struct Bitmap16 {
        int width = 0;
        int height = 0;
        std::vector<BYTE> indices;
    };
    // The version resource's fixed and string parts.
    struct VersionInfo {
        WORD fileVersion[4] = {0, 0, 0, 0};
        WORD productVersion[4] = {0, 0, 0, 0};
        WORD language = 0;
        WORD codePage = 0;
        std::vector<std::pair<std::string, std::string>> strings;  // in resource order
    };

    std::string modulePath;  // the module file, as registration writes it
    std::map<UINT, std::string> strings;
    std::map<UINT, Bitmap16> bitmaps;
    std::map<UINT, const CDialogTemplate*> dialogs;
    VersionInfo version;
};

// The platform's standard 16-colour palette (0x00BBGGRR), index 0 black to 15 white.
extern const COLORREF kStandardPalette16[16];

// The resources of the module the calling code belongs to; null before the module starts.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstance);
HINSTANCE AfxGetInstanceHandle();

// A string of the module's table; FALSE (text emptied) when the id is not there.
BOOL AfxLoadString(UINT nID, std::string& text, HINSTANCE hInstance = nullptr);
std::string AfxLoadString(UINT nID);
// A dialog template by id; null when absent.
const CDialogTemplate* AfxFindDialogTemplate(UINT nID, HINSTANCE hInstance = nullptr);
// A bitmap resource as a 32-bit bitmap; FALSE when absent.
BOOL AfxLoadBitmap(UINT nID, CBitmap& bitmap, HINSTANCE hInstance = nullptr);

// The application object of a control module. A module declares one global instance; loading the
// module runs InitInstance once, unloading runs ExitInstance.
class COleControlModule {
public:
    explicit COleControlModule(LPCTSTR lpszAppName = nullptr);
    virtual ~COleControlModule();
    COleControlModule(const COleControlModule&) = delete;
    COleControlModule& operator=(const COleControlModule&) = delete;

    // The platform's module initialisation: makes the module's resources current. FALSE when the
    // module has no resources to make current.
    virtual BOOL InitInstance();
    // The platform's shut-down: gives the resources back. Returns the exit code 0.
    virtual int ExitInstance();

    // The module's resources; the module sets it before it is loaded.
    HINSTANCE m_hInstance = nullptr;
    std::string m_strAppName;
};

// The module whose InitInstance ran last and which has not exited; null otherwise.
COleControlModule* AfxGetModule();
