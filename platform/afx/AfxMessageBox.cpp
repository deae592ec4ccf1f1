#include "platform/afx/AfxMessageBox.h"

namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

void AfxSetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }

int AfxMessageBox(const std::string& text, UINT nType) {
    const MessageBoxHandler& handler = Handler();
    return handler ? handler(text, nType) : IDOK;
}
