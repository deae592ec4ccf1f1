#pragma once
// Resource ids of the three property pages (dialog templates, captions, controls) and the pages'
// class identifiers. The module's resource script holds the templates and strings under these ids.
#include "platform/com/Guid.h"

// Dialog templates.
constexpr UINT IDD_PROPPAGE_ORVEXVIEWER = 200;
constexpr UINT IDD_PROPPAGE_ORVEXVIEWER2 = 204;
constexpr UINT IDD_PROPPAGE_ORVEXASCANVIEWER = 205;

// Captions (string table).
constexpr UINT IDS_ORVEXVIEWER_PPG_CAPTION = 200;
constexpr UINT IDS_ORVEXVIEWER_PPG2_CAPTION = 202;
constexpr UINT IDS_ORVEXASCANVIEWER_PPG_CAPTION = 203;

// "General" page of the viewer.
constexpr int IDC_BROWSE = 202;
constexpr int IDC_FILENAME = 203;
constexpr int IDC_ANIMATE = 204;
constexpr int IDC_FULLRAYS = 207;
constexpr int IDC_ENDRAYSATTIME = 208;
constexpr int IDC_PULSE = 209;
constexpr int IDC_TIMEINCREMENT = 210;
constexpr int IDC_STARTTIME = 211;
constexpr int IDC_ENDTIME = 212;
constexpr int IDC_RAYENDTIME = 213;

// "View" page of the viewer.
constexpr int IDC_XAXISX = 217;
constexpr int IDC_XAXISY = 218;
constexpr int IDC_XAXISZ = 219;
constexpr int IDC_YAXISX = 220;
constexpr int IDC_YAXISY = 221;
constexpr int IDC_YAXISZ = 222;
constexpr int IDC_WNDTOP = 223;
constexpr int IDC_WNDBOTTOM = 224;
constexpr int IDC_WNDLEFT = 225;
constexpr int IDC_WNDRIGHT = 226;
constexpr int IDC_TOPVIEW = 227;
constexpr int IDC_FRONTVIEW = 228;
constexpr int IDC_SIDEVIEW = 229;

// The A-scan control's page.
constexpr int IDC_ASCANXMIN = 228;
constexpr int IDC_ASCANXMAX = 229;
constexpr int IDC_ASCANYMIN = 230;
constexpr int IDC_ASCANYMAX = 231;
constexpr int IDC_XMINLABEL = 232;
constexpr int IDC_XMAXLABEL = 233;
constexpr int IDC_YMINLABEL = 234;
constexpr int IDC_YMAXLABEL = 235;
constexpr int IDC_ASCANWINDOW = 236;
constexpr int IDC_VIEWERLIST = 239;
constexpr int IDC_FILETEXT = 240;

// {8E1A4C2B-3F57-4D6E-9A0B-71C2D3E4F501}
constexpr CLSID CLSID_OrvexViewerPropPage = {0x8E1A4C2B, 0x3F57, 0x4D6E, {0x9A, 0x0B, 0x71, 0xC2, 0xD3, 0xE4, 0xF5, 0x01}};
// {8E1A4C2B-3F57-4D6E-9A0B-71C2D3E4F502}
constexpr CLSID CLSID_OrvexViewerPropPage2 = {0x8E1A4C2B, 0x3F57, 0x4D6E, {0x9A, 0x0B, 0x71, 0xC2, 0xD3, 0xE4, 0xF5, 0x02}};
// {8E1A4C2B-3F57-4D6E-9A0B-71C2D3E4F503}
constexpr CLSID CLSID_OrvexAscanViewerPropPage = {
    0x8E1A4C2B, 0x3F57, 0x4D6E, {0x9A, 0x0B, 0x71, 0xC2, 0xD3, 0xE4, 0xF5, 0x03}};
