#pragma once
// Identifiers of the A-scan viewer control: its class, its dispatch interface (which marks an
// A-scan control in a container) and its empty event interface, and the dispatch ids that the
// viewer, the property page and scripts call it by. The ids are positions in the interface's
// declaration, starting at 1, and never change.
#include "platform/com/Dispatch.h"

// {3A7C2E51-96B4-4F0D-8C1A-5B2E7F4D6A93}
constexpr CLSID CLSID_OrvexAscanViewerCtrl = {
    0x3A7C2E51, 0x96B4, 0x4F0D, {0x8C, 0x1A, 0x5B, 0x2E, 0x7F, 0x4D, 0x6A, 0x93}};
// {0B6C8F3E-5D2A-4C71-9E4B-2F7A1D3C9E80}
constexpr IID IID_DOrvexAscanViewer = {0x0B6C8F3E, 0x5D2A, 0x4C71, {0x9E, 0x4B, 0x2F, 0x7A, 0x1D, 0x3C, 0x9E, 0x80}};
// {D41F6B07-2C93-4E58-A7B6-0E9C3D15F2A4}
constexpr IID IID_DOrvexAscanViewerEvents = {
    0xD41F6B07, 0x2C93, 0x4E58, {0xA7, 0xB6, 0x0E, 0x9C, 0x3D, 0x15, 0xF2, 0xA4}};

constexpr const char* kOrvexAscanViewerProgID = "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1";

// _DOrvexAscanViewer: properties 1 to 7, methods 8 to 15.
enum EOrvexAscanViewerDispid : DISPID {
    DISPID_ASCAN_ASCANXMIN = 1,
    DISPID_ASCAN_ASCANXMAX = 2,
    DISPID_ASCAN_ASCANYMIN = 3,
    DISPID_ASCAN_ASCANYMAX = 4,
    DISPID_ASCAN_ORVEXVIEWERNAME = 5,
    DISPID_ASCAN_CONTROLDETECTIONENABLED = 6,
    DISPID_ASCAN_ORVEXVIEWER = 7,
    DISPID_ASCAN_UPDATEASCANDATA = 8,
    DISPID_ASCAN_ZOOMINX = 9,
    DISPID_ASCAN_ZOOMOUTX = 10,
    DISPID_ASCAN_REFRESHASCAN = 11,
    DISPID_ASCAN_ZOOMINY = 12,
    DISPID_ASCAN_ZOOMOUTY = 13,
    DISPID_ASCAN_PANLEFT = 14,
    DISPID_ASCAN_PANRIGHT = 15,
};
