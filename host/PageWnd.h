#pragma once
// The page of a document: a top-level window at the screen origin whose surface is the picture
// the host renders; the controls are its children.
#include "platform/win/CWnd.h"

class CPageWnd : public CWnd {
public:
    // A visible page of the given size; FALSE when the window manager refuses it.
    BOOL CreatePage(int width, int height);

protected:
    // The page shows the window colour, which erasing fills in.
    void OnPaint() override;
};
