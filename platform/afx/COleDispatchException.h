#pragma once
// The automation error a control raises with ThrowError: Invoke reports it to the caller as
// DISP_E_EXCEPTION with the code in EXCEPINFO.scode and the description in bstrDescription.
#include "platform/com/DispatchTable.h"

class COleDispatchException : public CDispatchException {
public:
    COleDispatchException(SCODE sc, std::string description, std::string source = {})
        : CDispatchException(sc, std::move(description), std::move(source)), m_scError(sc) {}
    SCODE m_scError;
};
