#pragma once
// Resource ids of the module's own resources: type names, toolbox bitmaps and version. The pages'
// templates and captions have their ids in pages/PageResourceIds.h.
#include "platform/base/WinDef.h"

constexpr UINT IDS_ORVEXVIEWER = 1;
constexpr UINT IDS_ORVEXVIEWER_PPG = 2;
constexpr UINT IDS_ORVEXVIEWER_PPG2 = 3;
constexpr UINT IDS_ORVEXASCANVIEWER = 4;
constexpr UINT IDS_ORVEXASCANVIEWER_PPG = 5;

constexpr UINT IDB_ORVEXVIEWER = 1;
constexpr UINT IDB_ORVEXASCANVIEWER = 2;

constexpr UINT IDR_VERSION = 1;
constexpr UINT IDR_TYPELIB = 1;
