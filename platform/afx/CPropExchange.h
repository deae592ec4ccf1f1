#pragma once
// Property exchange: one DoPropExchange routine loads a control's stored properties from a bag,
// saves them into one, or resets them to their defaults. A reset is a loading exchange in which
// every key is absent, so each property takes its default, as the platform initialises a new control.
#include <string>

#include "platform/com/OleInterfaces.h"

class CPropExchange {
public:
    enum class Direction { Load, Save, Reset };

    // `pBag` may be null only for Reset; the exchange does not keep a reference past its lifetime.
    CPropExchange(IPropertyBag* pBag, Direction direction);
    CPropExchange(const CPropExchange&) = delete;
    CPropExchange& operator=(const CPropExchange&) = delete;

    // TRUE when loading or resetting.
    BOOL IsLoading() const { return m_direction != Direction::Save ? TRUE : FALSE; }
    Direction GetDirection() const { return m_direction; }
    // The version in effect: the one loaded, or the current one once converted (or saved).
    DWORD GetVersion() const { return m_dwVersion; }

    // Exchanges the persistence version under the key "_Version". Loading reports the stored
    // version (the default when absent) in dwVersionLoaded; with bConvert the exchange continues
    // in the current version, so a save writes dwVersionDefault.
    BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert = TRUE);

    // Exchanges one value of type `vtProp` (VT_I2, VT_I4, VT_BOOL, VT_R4, VT_R8 or VT_BSTR, which
    // is a std::string). Loading a key that is absent, or whose value does not convert, stores the
    // default if one is given and otherwise leaves the value alone; FALSE tells the caller.
    BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault = nullptr);

private:
    IPropertyBag* m_pBag;
    Direction m_direction;
    DWORD m_dwVersion = 0;
};

// The typed exchanges. Without a default, an absent key leaves the value as it is.
BOOL PX_Short(CPropExchange* pPX, LPCTSTR pszPropName, SHORT& sValue);
BOOL PX_Short(CPropExchange* pPX, LPCTSTR pszPropName, SHORT& sValue, SHORT sDefault);
BOOL PX_Long(CPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue);
BOOL PX_Long(CPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue, LONG lDefault);
BOOL PX_ULong(CPropExchange* pPX, LPCTSTR pszPropName, ULONG& ulValue, ULONG ulDefault);
BOOL PX_Bool(CPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue);
BOOL PX_Bool(CPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault);
BOOL PX_Float(CPropExchange* pPX, LPCTSTR pszPropName, float& floatValue);
BOOL PX_Float(CPropExchange* pPX, LPCTSTR pszPropName, float& floatValue, float floatDefault);
BOOL PX_Double(CPropExchange* pPX, LPCTSTR pszPropName, double& doubleValue);
BOOL PX_Double(CPropExchange* pPX, LPCTSTR pszPropName, double& doubleValue, double doubleDefault);
BOOL PX_String(CPropExchange* pPX, LPCTSTR pszPropName, std::string& strValue);
BOOL PX_String(CPropExchange* pPX, LPCTSTR pszPropName, std::string& strValue, const std::string& strDefault);
