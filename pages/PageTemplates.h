#pragma once
// The three pages' dialog templates, as the module's resource script holds them.
#include "platform/afx/DialogTemplate.h"

const CDialogTemplate& GetOrvexViewerPropPageTemplate();
const CDialogTemplate& GetOrvexViewerPropPage2Template();
const CDialogTemplate& GetOrvexAscanViewerPropPageTemplate();
