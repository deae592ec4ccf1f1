#include "host/DispatchCalls.h"

#include <cstdio>
#include <vector>

namespace {

std::string DescribeFailure(HRESULT hr, EXCEPINFO& info) {
    std::string text;
    if (hr == DISP_E_EXCEPTION) {
        text = StringFromBstr(info.bstrDescription);
        if (text.empty()) text = "the call raised an error";
        ClearExcepInfo(&info);
        return text;
    }
    switch (hr) {
        case DISP_E_MEMBERNOTFOUND: return "no such member, or not usable that way";
        case DISP_E_UNKNOWNNAME: return "no such member";
        case DISP_E_BADPARAMCOUNT: return "wrong number of arguments";
        case DISP_E_TYPEMISMATCH: return "an argument has the wrong type";
        case DISP_E_OVERFLOW: return "an argument is out of range";
        case DISP_E_PARAMNOTFOUND: return "a required argument is missing";
        default: {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
            return std::string("the call failed (") + code + ")";
        }
    }
}

}  // namespace

bool InvokeByName(IDispatch* disp, std::string_view name, WORD flags, std::span<const VARIANT> args,
                  VARIANT* result, std::string& error) {
    const std::string member(name);
    if (disp == nullptr) {
        error = member + ": no object";
        return false;
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(member.c_str())};
    if (FAILED(disp->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
        error = member + ": no such member";
        return false;
    }
    // The platform passes the last argument first.
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO info{};
    UINT argErr = 0;
    HRESULT hr = disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &argErr);
    if (FAILED(hr)) {
        error = member + ": " + DescribeFailure(hr, info);
        return false;
    }
    return true;
}

bool PutPropertyByName(IDispatch* disp, std::string_view name, const VARIANT& value, std::string& error) {
    return InvokeByName(disp, name, DISPATCH_PROPERTYPUT, std::span<const VARIANT>(&value, 1), nullptr, error);
}

bool CallMethodByName(IDispatch* disp, std::string_view name, std::span<const VARIANT> args, std::string& error) {
    VARIANT result;
    VariantInit(&result);
    bool ok = InvokeByName(disp, name, DISPATCH_METHOD, args, &result, error);
    VariantClear(&result);
    return ok;
}
