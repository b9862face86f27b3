#include "platform/framework/MessageBox.h"

#include "platform/framework/EmptyWindowTitle.h"
#include "platform/framework/WinApp.h"

#include <QMessageBox>

namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

int ShowDialog(const MessageBoxRequest& r) {
    QMessageBox box(r.owner);
    box.setText(r.text);
    box.setWindowTitle(r.caption);
    const UINT buttons = r.type & 0xF;
    if (buttons == MB_YESNO) {
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    } else if (buttons == MB_OKCANCEL) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    } else {
        box.setIcon((r.type & 0xF0) == MB_ICONEXCLAMATION ? QMessageBox::Warning
                                                          : QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
    }
    if (r.caption.isEmpty())
        ShowEmptyWindowTitle(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return buttons == MB_YESNO ? IDNO : IDOK;
    }
}
} // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}

int MessageBoxEx(QWidget* owner, const QString& text, const QString& caption, UINT type) {
    const MessageBoxRequest request{owner, text, caption, type};
    if (Handler())
        return Handler()(request);
    return ShowDialog(request);
}

int AfxMessageBox(const QString& text, UINT type, UINT /*helpId*/) {
    CWinApp* app = AfxGetApp();
    return MessageBoxEx(app ? app->GetMainWindowWidget() : nullptr, text,
                        app ? app->m_pszAppName : QString(), type);
}
