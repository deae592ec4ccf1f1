#pragma once
// Dialog data exchange between a page's values and its controls (DDX_), and property exchange
// between its values and the edited objects' automation properties (DDP_). Per value a page calls
// DDP_ then DDX_, and ends with DDP_PostProcessing:
//   loading: DDP_ reads the property into the value, DDX_ shows the value in the control;
//   saving:  DDX_ reads (and validates) the control into the value, DDP_ notes the property, and
//            DDP_PostProcessing writes the noted properties whose controls the user changed.
// A value that does not validate stops the exchange with a message and the focus on its control,
// before anything is written.
#include <exception>
#include <string>
#include <vector>

#include "platform/base/WinDef.h"
#include "platform/com/Dispatch.h"

class COlePropertyPage;

// Thrown by CDataExchange::Fail; UpdateData catches it.
class CUserException : public std::exception {
public:
    const char* what() const noexcept override { return "data exchange refused a value"; }
};

// The messages of the standard numeric validation.
constexpr const char* kParseIntMessage = "Enter an integer.";
constexpr const char* kParseRealMessage = "Enter a number.";

class CDataExchange {
public:
    CDataExchange(COlePropertyPage* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;
    COlePropertyPage* m_pDlgWnd;

    // Names the control the next validation concerns.
    void PrepareCtrl(int nIDC);
    void PrepareEditCtrl(int nIDC);
    // Gives the focus back to that control and stops the exchange.
    [[noreturn]] void Fail();

    // A property noted while saving.
    struct PendingProperty {
        int nIDC;
        std::string name;
        VARTYPE vt;
        const void* pValue;
    };
    std::vector<PendingProperty> m_pending;

private:
    int m_idLastControl = 0;
};

// Number parsing of the standard validation: optional blanks, sign, digits, decimal point and
// exponent; nothing else (no hex, no "inf"). FALSE for anything else or out of range.
BOOL AfxParseInt(const std::string& text, int* pValue);
BOOL AfxParseDouble(const std::string& text, double* pValue);
// Values shown in edits: 15 significant digits for doubles, 6 for floats (%g).
std::string AfxFormatDouble(double value);
std::string AfxFormatFloat(float value);

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The index of the checked button of the group starting at nIDC; -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// The text of a combo box's edit field; loading selects the first entry the value begins (case
// ignored), or shows the value as typed when none does.
void DDX_CBString(CDataExchange* pDX, int nIDC, std::string& value);

void DDP_Text(CDataExchange* pDX, int nIDC, std::string& value, LPCTSTR pszPropName);
void DDP_Text(CDataExchange* pDX, int nIDC, int& value, LPCTSTR pszPropName);
void DDP_Text(CDataExchange* pDX, int nIDC, float& value, LPCTSTR pszPropName);
void DDP_Text(CDataExchange* pDX, int nIDC, double& value, LPCTSTR pszPropName);
void DDP_Check(CDataExchange* pDX, int nIDC, int& value, LPCTSTR pszPropName);
void DDP_Radio(CDataExchange* pDX, int nIDC, int& value, LPCTSTR pszPropName);
void DDP_CBString(CDataExchange* pDX, int nIDC, std::string& value, LPCTSTR pszPropName);
// Writes the noted properties of changed controls to every edited object (saving); then those
// controls count as unchanged.
void DDP_PostProcessing(CDataExchange* pDX);

// Reads and writes a named property of an object through IDispatch; FALSE when the object has no
// such member or refuses. Reading converts to `vt`.
BOOL AfxGetObjectProperty(LPDISPATCH pDisp, LPCTSTR pszPropName, VARTYPE vt, VARIANT* pResult);
BOOL AfxSetObjectProperty(LPDISPATCH pDisp, LPCTSTR pszPropName, const VARIANT& value);
